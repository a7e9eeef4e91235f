#pragma once

#include <string>
#include <string_view>

namespace vorela {

// Text in a symbol font (\fcharset2): its bytes pick glyphs of the classic symbol font,
// Greek letters on the Latin ones, mathematical signs elsewhere. The letters, the common
// signs and the bullet are read as the characters they show; digits and the punctuation
// the font keeps stay as they are; any other byte is U+FFFD.
class RtfSymbolFont {
public:
    static void decode(std::string_view bytes, std::string& out);
};

}  // namespace vorela
