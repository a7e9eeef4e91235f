#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Platform/Foundation/CompactString.h"
#include "Script/SpokenVariants.h"

namespace vorela {

// Offsets and token indices are 32-bit: a script body is far below 4 GiB (and ICU counts
// UTF-16 units in 32 bits anyway), and every token of a loaded script is held, so each
// byte counts.

// A stretch of the script text in UTF-8 bytes, [begin, end).
struct ByteRange {
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
    std::uint32_t size() const { return end - begin; }
    bool operator==(const ByteRange&) const = default;
};

// The same stretch in UTF-16 code units, as the text layout counts positions.
struct Utf16Range {
    std::uint32_t location = 0;
    std::uint32_t length = 0;
    std::uint32_t end() const { return location + length; }
    bool operator==(const Utf16Range&) const = default;
};

// One spoken word of the loaded script, as the panel and the matcher see it. The ranges
// are valid only for the text that was tokenized.
struct Token {
    CompactString raw;   // the text as in the script, with absorbed punctuation
    CompactString norm;  // Tokenizer::normalize(raw); never empty
    CompactString phon;  // phonetic key of norm in the tokenizer's language
    // Spoken forms of a number; empty without a digit.
    SpokenVariants variants;
    ByteRange range;
    Utf16Range utf16Range;
    std::int32_t index = 0;  // 0, 1, 2... without gaps
    bool isSentenceEnd = false;

    bool operator==(const Token&) const = default;
};

}  // namespace vorela
