#pragma once

#include <string>
#include <string_view>

namespace vorela {

// The text of a plain-text file's bytes, as UTF-8. A byte-order mark (UTF-8, UTF-16 or
// UTF-32, either byte order) decides the encoding and is dropped; without one, valid
// UTF-8 is taken as it is and anything else is read as Windows-1252, the encoding of
// such files in practice (Latin-1 would turn their quotes and dashes into controls).
// Ill-formed UTF-16 or UTF-32 (odd lengths, lone surrogates, values past U+10FFFF)
// gives U+FFFD where it breaks.
class TextEncoding {
public:
    static std::string decode(std::string_view bytes);
    // The same, handing valid UTF-8 on without a copy.
    static std::string decode(std::string&& bytes);
};

}  // namespace vorela
