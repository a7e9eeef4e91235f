#pragma once

#include <unicode/unistr.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Foundation/Utf8.h"

// Small ICU-backed helpers shared by the tokenizer, the phonetic keys, the number speller,
// the importers and the library's search. Everything here is a pure function; ICU's own
// tables are the only state. The UTF-8 primitives come from Platform/Utf8.h.
namespace vorela::unicode {

// UTF-16 form of the text, replacing ill-formed input as sanitizeUtf8 does. `replacements`
// receives how many replacements were made.
icu::UnicodeString toUtf16(std::string_view text, std::int32_t* replacements = nullptr);

bool isPunctuationOrSymbol(char32_t c);  // P* or S*
bool isSymbol(char32_t c);               // S*
bool isMark(char32_t c);                 // M*
bool isAlphanumeric(char32_t c);         // L*, M* or N*, like the platform's alphanumerics set
bool isLetterOrNumber(char32_t c);       // L* or N*: kept by normalisation (No such as "²" too)
bool isDecimalDigit(char32_t c);         // Nd, a regular expression's \d
bool isWhitespace(char32_t c);           // Zs and tab
bool isWhitespaceOrNewline(char32_t c);  // Z*, U+000A...U+000D and U+0085
bool isPatternSpace(char32_t c);         // a regular expression's \s: tab, LF, FF, CR, Z*
bool hasNumericValue(char32_t c);
std::optional<std::int64_t> wholeNumberValue(char32_t c);
// Marks, variation selectors and joiners that continue the character before them.
bool continuesCharacter(char32_t c);

std::string_view trimWhitespace(std::string_view text);
std::string_view trimWhitespaceAndNewlines(std::string_view text);

// Full Unicode lower-casing, independent of the desktop's locale.
std::string lowercased(std::string_view text);

// The user-perceived characters (grapheme clusters) of a UTF-8 text, as views into it.
// ASCII text, the common case, needs no table and no ICU call.
class Characters {
public:
    explicit Characters(std::string_view text);

    std::size_t size() const { return ascii_ ? text_.size() : clusters_.size(); }
    // The i-th character, or an empty view past the end.
    std::string_view operator[](std::size_t i) const {
        if (i >= size()) return {};
        return ascii_ ? text_.substr(i, 1) : clusters_[i];
    }

private:
    std::string_view text_;
    bool ascii_ = true;
    std::vector<std::string_view> clusters_;
};

}  // namespace vorela::unicode
