#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorela::Shortcuts {

// The shortcut subsystem's own texts, looked up by key ("space_key"). An unknown key
// reads as the key itself.
std::string localizedText(std::string_view key);
// A text that takes one argument, put in place of its "%@".
std::string localizedText(std::string_view key, std::string_view argument);

// Title-cases each word ("espacio" -> "Espacio", "r" -> "R").
std::string capitalizedWords(std::string_view utf8);

// Whether the text is exactly one user-perceived character (one grapheme cluster).
bool isSingleCharacter(std::string_view utf8);

// The character for a Unicode scalar value; nothing when negative, above U+10FFFF or a
// surrogate.
std::optional<char32_t> characterFromUnicodeScalarValue(std::int64_t value);

// The code point of a text holding exactly one; nothing otherwise.
std::optional<char32_t> singleScalar(std::string_view utf8);

}  // namespace vorela::Shortcuts
