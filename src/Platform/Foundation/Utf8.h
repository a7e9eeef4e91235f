#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// UTF-8 encoding and decoding for every layer: the readers of imported files, the rich-text
// reader, the preference files and the tokenizer. No table and no library: ill-formed input
// is replaced, one U+FFFD for each maximal invalid subsequence (at least one byte), the way
// the Unicode standard recommends and ICU's converters do.
namespace vorela::unicode {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// A scalar read from UTF-8 and the bytes it took. An ill-formed sequence reads as
// U+FFFD over its maximal invalid prefix, with isValid false.
struct DecodedScalar {
    char32_t scalar = kReplacementCharacter;
    std::size_t length = 0;
    bool isValid = false;
};

// The scalar starting at byte i (i < text.size()).
DecodedScalar decodeUtf8(std::string_view text, std::size_t i);
// The scalar starting at byte i, advancing i past it.
char32_t nextCodePoint(std::string_view text, std::size_t& i);
// The scalar ending at byte i (i > 0), moving i back to its start; ill-formed input is
// split as reading forwards would split it.
char32_t previousCodePoint(std::string_view text, std::size_t& i);

// A surrogate or a value above U+10FFFF appends U+FFFD.
void appendUtf8(std::string& out, char32_t c);

bool isAscii(std::string_view text);
bool isValidUtf8(std::string_view text);
// Valid text comes back unchanged.
std::string sanitizeUtf8(std::string_view text);
// Text from outside fit to show: ill-formed bytes, U+FFFD and control characters are
// dropped, except tabs and line breaks, which become spaces.
std::string printableText(std::string_view text);
// Windows-1252: Latin-1 on every printable byte, typographic quotes, dashes and the euro
// sign on 0x80-0x9F; its five unused bytes become U+FFFD.
std::string windows1252ToUtf8(std::string_view bytes);
void appendWindows1252(std::string& out, std::string_view bytes);

}  // namespace vorela::unicode
