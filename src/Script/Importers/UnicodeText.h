#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vorela::scripttext {

// Character classes, by Unicode general category, as the text services define them.
bool isWhitespace(char32_t c);           // Zs and tab
bool isWhitespaceOrNewline(char32_t c);  // Z*, U+000A...U+000D and U+0085
bool isPatternSpace(char32_t c);         // a regular expression's \s: tab, LF, FF, CR, Z*
bool isDecimalDigit(char32_t c);         // Nd, a regular expression's \d

// Decodes the scalar at `pos`; `length` receives the bytes it takes. An invalid sequence
// reads as U+FFFD covering its maximal invalid prefix (at least one byte).
char32_t decodeAt(std::string_view text, std::size_t pos, std::size_t& length);
void appendUtf8(std::string& out, char32_t c);

bool isValidUtf8(std::string_view bytes);
// Every invalid sequence becomes U+FFFD.
std::string utf8Repairing(std::string_view bytes);
std::string latin1ToUtf8(std::string_view bytes);

std::string_view trimWhitespace(std::string_view text);
std::string_view trimWhitespaceAndNewlines(std::string_view text);

// Full Unicode lower-casing, independent of the desktop's locale.
std::string lowercased(std::string_view text);

}  // namespace vorela::scripttext
