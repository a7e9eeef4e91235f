#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Script/Importers/RichText.h"

namespace vorela {
namespace {

std::string plain(const std::string& rtf) {
    return RichText::plainText(rtf).value_or("<ilegible>");
}

struct Case {
    const char* name;
    std::string rtf;
    std::string expected;
};

void expectAll(const std::vector<Case>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(plain(c.rtf), c.expected);
    }
}

TEST(RichTextTest, ParagraphsAndControlSymbols) {
    expectAll({
        {"paragraphs and lines", "{\\rtf1 uno\\par dos\\line tres}", "uno\ndos\ntres"},
        {"backslash-newline is a paragraph", "{\\rtf1 uno\\\ndos}", "uno\ndos"},
        {"file line ends are not text", "{\\rtf1 uno\ndos\r\n tres}", "unodos tres"},
        {"delimiting space is eaten, the next one is kept", "{\\rtf1\\b  negrita\\b0 fin}",
         " negritafin"},
        {"escaped braces and backslash", "{\\rtf1 \\{a\\}\\\\b}", "{a}\\b"},
        {"special spaces and hyphens", "{\\rtf1 a\\~b\\_c\\-d\\tab e}", "a\u00A0b\u2011cd\te"},
        {"named punctuation", "{\\rtf1 \\ldblquote x\\rdblquote \\endash \\emdash \\bullet}",
         "\u201Cx\u201D\u2013\u2014\u2022"},
        {"cells and rows", "{\\rtf1 a\\cell b\\cell\\row c}", "a\tb\t\nc"},
    });
}

TEST(RichTextTest, UnicodeCharactersSkipTheirFallbacks) {
    expectAll({
        {"default skip of one", "{\\rtf1 ni\\u241\\'f1o}", "niño"},
        {"skip of zero", "{\\rtf1\\uc0 ni\\u241 o}", "niño"},
        {"skip of two hex bytes", "{\\rtf1\\uc2 \\u8364\\'80\\'80!}", "€!"},
        {"skip counts a plain character", "{\\rtf1 \\u937?mega}", "Ωmega"},
        {"skip is per group", "{\\rtf1 {\\uc3 \\u937 abcd}\\u937 xy}", "Ωd\u03A9y"},
        {"skip stops at a group end", "{\\rtf1 {\\uc5 \\u937 ab}cd}", "Ωcd"},
        {"negative values wrap", "{\\rtf1 \\u-3913 ?}", "\uF0B7"},
        {"surrogate pair", "{\\rtf1 \\u-10179?\\u-8704?}", "\U0001F600"},
        {"lone surrogate", "{\\rtf1 \\u-10179?x}", "\uFFFDx"},
    });
}

TEST(RichTextTest, BytesAreReadInTheDocumentsCodePage) {
    expectAll({
        {"windows-1252 by default", "{\\rtf1 \\'80 \\'e9}", "€ é"},
        {"raw 8-bit text", "{\\rtf1\\ansi caf\xe9}", "café"},
        {"cyrillic page", "{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8}", "При"},
        {"mac roman", "{\\rtf1\\mac \\'8e\\'a5}", "é•"},
        {"double-byte page", "{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0}", "あ"},
        {"unknown page reads as windows-1252", "{\\rtf1\\ansi\\ansicpg77777 \\'e9}", "é"},
        {"undefined byte", "{\\rtf1 \\'81}", "\uFFFD"},
        {"broken hex escape", "{\\rtf1 a\\'zzb}", "azzb"},
    });
}

std::string fixture(const std::string& name) {
    const char* data = std::getenv("VORELA_TEST_DATA");
    std::ifstream file(std::filesystem::path(data ? data : "") / "rtf" / name, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

TEST(RichTextTest, EachFontsCharacterSetDecodesItsText) {
    // Documents came out garbled ("Článek" read "Èlánek"): every byte went through the
    // document's page. A font's \fcharset names the page of its own text, per group.
    struct FileCase {
        const char* file;
        std::string expected;
    };
    const FileCase cases[] = {
        {"czech.rtf", "Článek o městě\nCafé “sí”\n"},
        {"cyrillic.rtf", "Привет, mundo\n"},
        {"greek.rtf", "Καλημέρα\n"},
        {"thai.rtf", "สวัสดี khrap\n"},
        {"japanese.rtf", "日本語: テスト\n"},
        {"chinese.rtf", "中文 ABC\n"},
        {"mac.rtf", "Café “mañana” •\nМир\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string rtf = fixture(c.file);
        ASSERT_FALSE(rtf.empty());
        EXPECT_EQ(plain(rtf), c.expected);
    }
}

TEST(RichTextTest, FontsAndCodePagesFollowGroupsAndTheHeader) {
    const std::string fonts =
        "{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset204 B;}"
        "{\\f2\\fcharset238\\cpg1253 C;}{\\f3\\fcharset2 Symbol;}}";
    expectAll({
        {"the default font's set applies before any \\f", fonts + "\\'e0}", "а"},
        {"a group's font is restored when it closes", fonts + "\\f0\\'e0{\\f1\\'e0}\\'e0}", "àаà"},
        {"plain returns to the default font", fonts + "\\f0\\'e0\\plain\\'e0}", "àа"},
        {"an explicit code page wins over the set", fonts + "\\f2\\'e1}", "α"},
        {"a symbol font shows Greek letters and its bullet", fonts + "\\f3 abg\\'b7 1+1}",
         "αβγ• 1+1"},
        {"an unknown font reads in the document's page", fonts + "\\f9\\'e9}", "é"},
        {"mac roman by number", "{\\rtf1\\ansi\\ansicpg10000 \\'8e\\'d5}", "é’"},
        {"mac cyrillic", "{\\rtf1\\ansi\\ansicpg10007 \\'8c\\'e8\\'f0}", "Мир"},
        {"mac central european", "{\\rtf1\\ansi\\ansicpg10029 \\'89}", "Č"},
        {"mac japanese", "{\\rtf1\\ansi\\ansicpg10001 \\'82\\'a0}", "あ"},
        {"mac character set in a windows document",
         "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset77 M;}}\\f0\\'8e}", "é"},
    });
}

TEST(RichTextTest, UndecodableBytesAndBrokenPairsBecomeReplacementCharacters) {
    // ICU substitutes U+001A (a control code) for an unmapped byte of a single-byte page;
    // the reader writes U+FFFD, as for every other byte it cannot decode.
    expectAll({
        {"unmapped byte of the greek page", "{\\rtf1\\ansi\\ansicpg1253 a\\'d2b}", "a\uFFFDb"},
        {"unmapped byte of the thai page", "{\\rtf1\\ansi\\ansicpg874 \\'80}", "\uFFFD"},
        {"lead byte cut by a paragraph", "{\\rtf1\\ansi\\ansicpg932 \\'82\\par x}", "\uFFFD\nx"},
        {"lead byte at a group end", "{\\rtf1\\ansi\\ansicpg936 {\\'d6}\\'d6\\'d0}", "\uFFFD中"},
        {"trail byte written as an escaped brace", "{\\rtf1\\ansi\\ansicpg932 \\'96\\{}", "本"},
    });
}

TEST(RichTextTest, AStarMarksADestinationOnlyWhereItOpensAGroup) {
    // A "\\*" in the middle of a group dropped everything after it up to the group's end,
    // visible text included; only "{\\*\\word" marks a destination that may be skipped.
    expectAll({
        {"in the middle of a group", "{\\rtf1 {\\b uno \\*dos} tres}", "uno dos tres"},
        {"after text at the top level", "{\\rtf1 uno\\* dos}", "uno dos"},
        {"opening a group", "{\\rtf1 uno{\\*\\oculto nada} dos}", "uno dos"},
    });
}

TEST(RichTextTest, HeaderGroupsAndDestinationsAreDropped) {
    expectAll({
        {"header tables",
         "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0;}{\\stylesheet{\\s0 Normal;}}"
         "{\\info{\\title T}{\\author A}}texto}",
         "texto"},
        {"ignorable destinations", "{\\rtf1 a{\\*\\generator Writer;}{\\*\\unknown {x}y}b}", "ab"},
        {"headers, footers and pictures",
         "{\\rtf1{\\header cabecera}{\\footer pie}{\\pict 89504e47}cuerpo}", "cuerpo"},
        {"field result kept, instruction dropped",
         "{\\rtf1 ver {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt el sitio}} hoy}",
         "ver el sitio hoy"},
        {"plain field instruction dropped", "{\\rtf1 {\\field{\\fldinst PAGE}{\\fldrslt 3}}}", "3"},
        {"attachment and its stand-in", "{\\rtf1 a{{\\NeXTGraphic f.png \\width10}\\'ac}b}", "ab"},
        {"binary data with braces", "{\\rtf1 a{\\*\\blob\\bin4 }{\\}}b}", "ab"},
        {"list marker text is kept", "{\\rtf1{\\listtext \\u8226\\'95\\tab}Punto}",
         "\u2022\tPunto"},
    });
}

TEST(RichTextTest, BrokenDocumentsNeverCrash) {
    expectAll({
        {"missing closing brace", "{\\rtf1 hola {\\b mundo", "hola mundo"},
        {"text after the document ends", "{\\rtf1 fin} basura", "fin"},
        {"trailing backslash", "{\\rtf1 a\\", "a"},
        {"huge parameter", "{\\rtf1\\uc99999999999999999999 \\u65 ABC}", "A"},
        {"huge bin length", "{\\rtf1 a\\bin99999999999}", "a"},
        {"long control word", "{\\rtf1 \\" + std::string(100, 'x') + " z}", "z"},
    });
    EXPECT_FALSE(RichText::looksLikeRtf("hola"));
    EXPECT_EQ(RichText::plainText("hola"), "");
}

TEST(RichTextTest, NestingIsBounded) {
    // A document of a few hundred kilobytes of "{" used to grow the reader's state without
    // limit; past kMaxNesting the document is refused instead, and shallower ones still read.
    const auto nested = [](std::size_t depth) {
        return "{\\rtf1" + std::string(depth - 1, '{') + "x" + std::string(depth - 1, '}') + "}";
    };
    EXPECT_EQ(RichText::plainText(nested(RichText::kMaxNesting)), "x");
    EXPECT_EQ(RichText::plainText(nested(RichText::kMaxNesting + 1)), std::nullopt);
    EXPECT_EQ(RichText::plainText("{\\rtf1" + std::string(500000, '{')), std::nullopt);
}

}  // namespace
}  // namespace vorela
