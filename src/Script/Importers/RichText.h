#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vorela {

// Our reader of rich text (RTF) documents, standing where the platform's document reader
// stood: it yields the document's plain string. Paragraph and line ends become "\n",
// \uN characters honour their fallback skip counts, 8-bit text is read in the code page
// of the current font's character set (else the document's, Windows or Mac), field
// results are kept, and header groups, pictures and {\*...} destinations are dropped.
// Keeps no state; safe from any thread.
class RichText {
public:
    // Groups nested deeper than this make the document unreadable; real documents stay
    // far below it, and it bounds the reader's memory on hostile input.
    static constexpr std::size_t kMaxNesting = 1000;

    // Whether the bytes open like an RTF document ("{\rtf").
    static bool looksLikeRtf(std::string_view bytes);

    // The plain text as UTF-8, or nothing when the nesting limit is passed. Unbalanced
    // braces are tolerated: a missing "}" ends the document, a stray one is ignored.
    static std::optional<std::string> plainText(std::string_view rtf);
};

}  // namespace vorela
