#pragma once

#include <cstddef>
#include <map>
#include <optional>

namespace vorela {

// The fonts of an RTF document's \fonttbl and the code page each one's text is in: its
// \cpgN, else the page of its \fcharsetN, else the document's page.
class RtfFontTable {
public:
    // The code page of a character set, or nothing for those that take the document's
    // page (0 ANSI, 1 default) and for unknown ones.
    static std::optional<int> codePageOfCharset(long long charset);

    // \fN inside the table: the font the following words describe.
    void define(long long font);
    void setCharset(long long charset);    // \fcharsetN
    void setCodePage(long long codePage);  // \cpgN

    // The code page of `font`'s text; `documentPage` for an unknown font.
    int codePage(long long font, int documentPage) const;

    // Fonts described beyond this many are read in the document's page: real documents
    // have a few dozen, and it bounds the table on hostile input.
    static constexpr std::size_t kMaxFonts = 4096;

private:
    struct Font {
        std::optional<int> charsetPage;
        std::optional<int> explicitPage;  // \cpg wins over the character set
    };
    Font* definingFont();

    std::map<long long, Font> fonts_;
    std::optional<long long> defining_;
};

}  // namespace vorela
