#include <gtest/gtest.h>

#include <string>

#include "Script/Importers/TextEncoding.h"

namespace vorela {
namespace {

using namespace std::string_literals;

struct Case {
    const char* name;
    std::string bytes;
    std::string expected;
};

template <std::size_t N>
void expectDecoded(const Case (&cases)[N]) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TextEncoding::decode(c.bytes), c.expected);
        EXPECT_EQ(TextEncoding::decode(std::string(c.bytes)), c.expected) << "handed over";
    }
}

TEST(TextEncodingTest, AByteOrderMarkDecidesTheEncodingAndOtherTextFallsBackToWindows1252) {
    // A UTF-16 file went through the Latin-1 fallback and filled the script with NULs, and
    // curly quotes of Windows text became control codes: the mark names the encoding outright.
    const Case cases[] = {
        {"UTF-16LE", "\xFF\xFE"s + "H\0o\0l\0a\0 \0\xF1\0"s, "Hola ñ"},
        {"UTF-16BE", "\xFE\xFF"s + "\0H\0o\0l\0a\0 \0\xF1"s, "Hola ñ"},
        {"UTF-16LE surrogate pair", "\xFF\xFE"s + "=\xD8\0\xDE"s + "!\0"s, "😀!"},
        {"UTF-32LE", "\xFF\xFE\0\0"s + "\xF1\0\0\0"s + "\0\xF6\x01\0"s, "ñ😀"},
        {"UTF-32BE", "\0\0\xFE\xFF"s + "\0\0\0\xF1"s, "ñ"},
        {"UTF-8 mark",
         "\xEF\xBB\xBF"
         "año",
         "año"},
        {"valid UTF-8 without mark", "año “sí”", "año “sí”"},
        {"UTF-8 mark before ill-formed bytes",
         "\xEF\xBB\xBF"
         "a\xFF"
         "b",
         "a\uFFFDb"},
        {"Windows-1252 quotes and dashes", "\x93Hola\x94 \x96 caf\xE9 \x85", "“Hola” – café …"},
        {"a mark alone", "\xFF\xFE", ""},
    };
    expectDecoded(cases);
}

TEST(TextEncodingTest, IllFormedUtf16AndUtf32GiveReplacementCharacters) {
    const Case cases[] = {
        {"odd length", "\xFF\xFE"s + "a\0b"s, "a\uFFFD"},
        {"lone high surrogate at the end", "\xFF\xFE"s + "a\0\x3D\xD8"s, "a\uFFFD"},
        {"high surrogate before a letter", "\xFE\xFF"s + "\xD8\x3D\0b"s, "\uFFFDb"},
        {"lone low surrogate", "\xFF\xFE"s + "\0\xDE"s + "c\0"s, "\uFFFDc"},
        {"UTF-32 past U+10FFFF", "\0\0\xFE\xFF"s + "\0\x11\0\0"s + "\0\0\0d"s, "\uFFFDd"},
        {"UTF-32 surrogate value", "\xFF\xFE\0\0"s + "\0\xD8\0\0"s, "\uFFFD"},
        {"UTF-32 cut short", "\xFF\xFE\0\0"s + "e\0\0\0\0"s, "e\uFFFD"},
    };
    expectDecoded(cases);
}

}  // namespace
}  // namespace vorela
