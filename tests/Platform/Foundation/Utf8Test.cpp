#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Platform/Foundation/Utf8.h"

namespace vorela {
namespace {

std::u32string forwardScalars(std::string_view text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) out.push_back(unicode::nextCodePoint(text, i));
    return out;
}

TEST(Utf8Test, EachMaximalInvalidSubsequenceReadsAsOneReplacement) {
    constexpr char32_t R = unicode::kReplacementCharacter;
    struct Case {
        const char* name;
        std::string bytes;
        std::u32string scalars;
        bool isValid;
    } cases[] = {
        {"ASCII", "a\x7f", U"a\x7f", true},
        {"two bytes", "ñ", U"ñ", true},
        {"three bytes", "€", U"€", true},
        {"four bytes", "😀", U"😀", true},
        {"lone continuation", "\x80z", {R, U'z'}, false},
        {"overlong two-byte form", "\xC0\xAF", {R, R}, false},
        {"overlong three-byte form", "\xE0\x80\xAF", {R, R, R}, false},
        {"surrogate", "\xED\xA0\x80", {R, R, R}, false},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", {R, R, R, R}, false},
        {"no lead byte above F4", "\xF5\x80", {R, R}, false},
        {"truncated at the end", "a\xE2\x82", {U'a', R}, false},
        {"truncated before ASCII", "\xF0\x9F\x98z", {R, U'z'}, false},
        {"truncated before a lead", "\xE2\x82\xC3\xB1", {R, U'ñ'}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(forwardScalars(c.bytes), c.scalars);
        EXPECT_EQ(unicode::isValidUtf8(c.bytes), c.isValid);
        const auto first = unicode::decodeUtf8(c.bytes, 0);
        EXPECT_EQ(first.scalar, c.scalars.front());
        EXPECT_GE(first.length, 1u);
    }
}

TEST(Utf8Test, ReadingBackwardsSplitsTextAsReadingForwardsDoes) {
    // Every string of up to four bytes drawn from the bytes that decide how UTF-8 is cut:
    // ASCII, each continuation range, every kind of lead, and bytes that never occur.
    const unsigned char alphabet[] = {0x41, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xC2, 0xDF,
                                      0xE0, 0xE1, 0xED, 0xEF, 0xF0, 0xF1, 0xF4, 0xF5, 0xFF};
    constexpr std::size_t n = std::size(alphabet);
    std::size_t mismatches = 0;
    for (std::size_t length = 1; length <= 4; ++length) {
        std::vector<std::size_t> digits(length, 0);
        for (bool more = true; more;) {
            std::string text;
            for (const std::size_t d : digits) text.push_back(static_cast<char>(alphabet[d]));
            std::vector<std::size_t> starts;
            std::u32string scalars;
            for (std::size_t i = 0; i < text.size();) {
                starts.push_back(i);
                scalars.push_back(unicode::nextCodePoint(text, i));
            }
            for (std::size_t i = text.size(), k = starts.size(); k-- > 0;) {
                const char32_t c = unicode::previousCodePoint(text, i);
                if ((c != scalars[k] || i != starts[k]) && ++mismatches <= 5)
                    ADD_FAILURE() << ::testing::PrintToString(text) << " at scalar " << k;
            }
            more = false;
            for (std::size_t d = length; d-- > 0 && !more;) {
                more = ++digits[d] < n;
                if (!more) digits[d] = 0;
            }
        }
    }
    EXPECT_EQ(mismatches, 0u);
}

TEST(Utf8Test, EncodingWritesTheShortestFormAndReplacesWhatIsNoScalar) {
    struct Case {
        const char* name;
        char32_t c;
        std::string bytes;
    } cases[] = {
        {"last one-byte", 0x7F, "\x7f"},
        {"first two-byte", 0x80, "\xC2\x80"},
        {"last two-byte", 0x7FF, "\xDF\xBF"},
        {"first three-byte", 0x800, "\xE0\xA0\x80"},
        {"last three-byte", 0xFFFF, "\xEF\xBF\xBF"},
        {"first four-byte", 0x10000, "\xF0\x90\x80\x80"},
        {"last scalar", 0x10FFFF, "\xF4\x8F\xBF\xBF"},
        {"surrogate", 0xD800, "\xEF\xBF\xBD"},
        {"beyond U+10FFFF", 0x110000, "\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out = "x";
        unicode::appendUtf8(out, c.c);
        EXPECT_EQ(out, "x" + c.bytes);
    }
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c == 0xD800) c = 0xE000;
        std::string out;
        unicode::appendUtf8(out, c);
        std::size_t i = 0;
        const char32_t back = unicode::nextCodePoint(out, i);
        if (back != c || i != out.size()) {
            ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(c);
            break;
        }
    }
}

TEST(Utf8Test, SanitisingKeepsValidTextAndReplacesTheRest) {
    EXPECT_EQ(unicode::sanitizeUtf8("año 😀"), "año 😀");
    EXPECT_EQ(unicode::sanitizeUtf8("ab\xff\xfe cd \xe2\x82 ef\xc3"),
              "ab\uFFFD\uFFFD cd \uFFFD ef\uFFFD");
    EXPECT_EQ(unicode::windows1252ToUtf8("\xe9t\xe9 \xff"), "été ÿ");
    EXPECT_EQ(unicode::windows1252ToUtf8("\x93hi\x94 \x96 \x80\x81"), "“hi” – €\uFFFD");
    EXPECT_TRUE(unicode::isAscii("plain text\n"));
    EXPECT_FALSE(unicode::isAscii("caf\xc3\xa9"));
}

TEST(Utf8Test, PrintableTextDropsRawBytesAndControlsAndKeepsEveryCharacterShown) {
    // A library's error line quoting the first bytes of a damaged binary file.
    EXPECT_EQ(unicode::printableText("read \xcb\xae\xff\xfe\x01\x1c\x04 ok"), "read \u02ee ok");
    EXPECT_EQ(unicode::printableText("año 😀 — ½"), "año 😀 — ½");
    EXPECT_EQ(unicode::printableText("one\ttwo\nthree\r\n"), "one two three  ");
    EXPECT_EQ(unicode::printableText("\x7f\xc2\x85\xc2\x9f\xef\xbf\xbd\xe2\x82 x"), " x")
        << "delete, C1 controls, a replacement character already there, a cut sequence";
    EXPECT_EQ(unicode::printableText(std::string("a\0b", 3)), "ab");
}

}  // namespace
}  // namespace vorela
