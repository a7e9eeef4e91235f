#include <gtest/gtest.h>
#include <unicode/unistr.h>

#include <algorithm>

#include "Platform/Bundle/SystemLocale.h"
#include "Platform/Defaults/RawRepresentable.h"
#include "Script/NumberSpeller.h"
#include "Script/Tokenizer.h"
#include "Script/Unicode.h"

namespace vorela {
namespace {

static_assert(RawRepresentable<Tokenizer::Language>);

std::vector<Token> spanishTokens(std::string_view text) {
    return Tokenizer(Tokenizer::Language::spanish, "es_ES").tokenize(text);
}

std::vector<std::string> raws(const std::vector<Token>& tokens) {
    std::vector<std::string> out;
    for (const auto& token : tokens) out.push_back(token.raw.str());
    return out;
}

// Both ranges must address raw in `text`, and indices must run 0, 1, 2... without gaps.
void expectRangesAddressRaw(std::string_view text, const std::vector<Token>& tokens) {
    const icu::UnicodeString text16 = icu::UnicodeString::fromUTF8(text);
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        SCOPED_TRACE(token.raw);
        EXPECT_EQ(token.index, static_cast<long>(i));
        EXPECT_EQ(text.substr(token.range.begin, token.range.size()), token.raw);
        std::string viaUtf16;
        text16
            .tempSubString(static_cast<int32_t>(token.utf16Range.location),
                           static_cast<int32_t>(token.utf16Range.length))
            .toUTF8String(viaUtf16);
        EXPECT_EQ(viaUtf16, token.raw);
    }
}

TEST(TokenizerTest, TextsWithoutWordsGiveNoTokens) {
    for (const char* text :
         {"", "   ", "\n\t\r\n", " , . ; ¿? ¡! … ", "😀 🎉 👍🏽", "\xff\xfe"}) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(spanishTokens(text).empty());
    }
}

TEST(TokenizerTest, WordsAbsorbFollowingPunctuationAndSentenceEndsAreMarked) {
    struct Case {
        const char* name;
        const char* text;
        std::vector<std::string> raws;
        std::vector<bool> sentenceEnds;
    } cases[] = {
        {"comma then full stop", "Ahora, vamos.", {"Ahora,", "vamos."}, {false, true}},
        {"inverted mark stays outside", "¿Qué pasa?", {"Qué", "pasa?"}, {false, true}},
        {"exclamation", "¡Sí! Bien", {"Sí!", "Bien"}, {true, false}},
        {"ellipsis", "hola… chau", {"hola…", "chau"}, {true, false}},
        {"stop then bracket", "(fin.) otro", {"fin.)", "otro"}, {true, false}},
        {"stop then closing quote", "«fin.» otro", {"fin.»", "otro"}, {true, false}},
        {"colon and comma only", "uno: dos, tres", {"uno:", "dos,", "tres"}, {false, false, false}},
        {"end flag stays set over the run", "¿sí?» bueno", {"sí?»", "bueno"}, {true, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto tokens = spanishTokens(c.text);
        EXPECT_EQ(raws(tokens), c.raws);
        std::vector<bool> ends;
        for (const auto& token : tokens) ends.push_back(token.isSentenceEnd);
        EXPECT_EQ(ends, c.sentenceEnds);
        expectRangesAddressRaw(c.text, tokens);
    }
    const auto tokens = spanishTokens("Ahora, vamos.");
    EXPECT_EQ(tokens[0].norm, "ahora");
    EXPECT_EQ(tokens[1].norm, "vamos");
    EXPECT_EQ(tokens[1].phon, "bamos");
}

TEST(TokenizerTest, SymbolsInFrontJoinTheWordAndMaySitInTwoTokens) {
    const auto prices = spanishTokens("Cuesta $92 o €5, no Q 3.");
    EXPECT_EQ(raws(prices),
              (std::vector<std::string>{"Cuesta", "$92", "o", "€5,", "no", "Q", "3."}));
    EXPECT_EQ(prices[1].norm, "92");
    EXPECT_TRUE(std::ranges::binary_search(prices[1].variants, "dolares"));
    EXPECT_TRUE(std::ranges::binary_search(prices[3].variants, "euros"));
    EXPECT_TRUE(prices[0].variants.empty());
    expectRangesAddressRaw("Cuesta $92 o €5, no Q 3.", prices);

    // A script says its numbers again and again: each occurrence shares one list of forms,
    // which a long script held once per word.
    const auto again = spanishTokens("1.200 y 1.200 otra vez 1.200");
    ASSERT_FALSE(again[0].variants.empty());
    EXPECT_EQ(&again[0].variants[0], &again[2].variants[0]);
    EXPECT_EQ(&again[0].variants[0], &again[5].variants[0]);

    const auto shared = spanishTokens("a+b");
    ASSERT_EQ(shared.size(), 2u);
    EXPECT_EQ(shared[0].range, (ByteRange{0, 2}));
    EXPECT_EQ(shared[1].range, (ByteRange{1, 3}));
}

TEST(TokenizerTest, PictographsMakeNoTokenAndAreNeverCutInTwo) {
    const std::string text = "hola 😀 mundo👨‍👩‍👧 ❤️fin";
    const auto tokens = spanishTokens(text);
    EXPECT_EQ(raws(tokens),
              (std::vector<std::string>{"hola", "mundo👨‍👩‍👧", "❤️fin"}));
    EXPECT_EQ(tokens[2].norm, "fin");
    expectRangesAddressRaw(text, tokens);
}

TEST(TokenizerTest, RangesStayInStepAfterCharactersOutsideTheBasicPlane) {
    const std::string text = "𝄞 𝒜 música 😀😀 «fin» 𠀋字 ñandú.";
    const auto tokens = spanishTokens(text);
    EXPECT_EQ(raws(tokens),
              (std::vector<std::string>{"𝒜", "música", "fin»", "𠀋", "字", "ñandú."}));
    // "𝄞 𝒜 " is 6 UTF-16 units but 10 bytes.
    EXPECT_EQ(tokens[1].utf16Range, (Utf16Range{6, 6}));
    EXPECT_EQ(tokens[1].range, (ByteRange{10, 17}));
    expectRangesAddressRaw(text, tokens);
}

TEST(TokenizerTest, AccentsAndCaseDoNotChangeComparisonForms) {
    for (auto language : Tokenizer::allLanguages) {
        SCOPED_TRACE(rawValue(language));
        const Tokenizer tokenizer(language, "es_ES");
        const auto upper = tokenizer.tokenize("ÁRBOL Año CAMIÓN");
        const auto lower = tokenizer.tokenize("arbol año camion");
        ASSERT_EQ(upper.size(), lower.size());
        for (std::size_t i = 0; i < upper.size(); ++i) {
            EXPECT_EQ(upper[i].norm, lower[i].norm);
            EXPECT_EQ(upper[i].phon, lower[i].phon);
        }
    }
    EXPECT_EQ(Tokenizer(Tokenizer::Language::english, "en_US").tokenize("Phone")[0].phon, "fn");
}

TEST(TokenizerTest, IllFormedUtf8IsReplacedAndRangesAddressTheSanitisedText) {
    // Bytes that are not UTF-8 would shift UTF-8 and UTF-16 offsets apart and let raw cut a
    // character; each ill-formed run becomes U+FFFD, so both ranges address one valid text.
    const std::string text = "ab\xff\xfe cd \xe2\x82 ef\xc3";
    const std::string sanitized = unicode::sanitizeUtf8(text);
    EXPECT_TRUE(unicode::isValidUtf8(sanitized));
    const auto tokens = spanishTokens(text);
    EXPECT_EQ(raws(tokens), (std::vector<std::string>{"ab\uFFFD\uFFFD", "cd", "ef\uFFFD"}));
    expectRangesAddressRaw(sanitized, tokens);
    // Valid input is left exactly as given.
    EXPECT_EQ(unicode::sanitizeUtf8("año 😀"), "año 😀");
}

TEST(TokenizerTest, ArbitraryBytesNeverBreakTheTokenInvariants) {
    // Fragments chosen to meet every path: ASCII, Latin, astral, marks, joiners, symbols,
    // sentence enders, digits of several scripts, and bytes that are not UTF-8.
    const std::string_view pieces[] = {"a", "Q",    "9",        " ",       ".",      "$",   "€",
                                       "%", "-",    "é",        "e\u0301", "ñ",      "Ω",   "²",
                                       "٣", "字",   "😀",        "\u200D",  "\uFE0F", "…",   "¿",
                                       "»", "\xff", "\xe2\x82", "\xc3",    "\n",     "1,5", "M"};
    std::uint32_t seed = 7;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    const Tokenizer tokenizer(Tokenizer::Language::spanish, "es_ES");
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const std::uint32_t count = next() % 40;
        for (std::uint32_t i = 0; i < count; ++i) text += pieces[next() % std::size(pieces)];
        SCOPED_TRACE(::testing::PrintToString(text));
        const std::string sanitized = unicode::sanitizeUtf8(text);
        const auto tokens = tokenizer.tokenize(text);
        expectRangesAddressRaw(sanitized, tokens);
        EXPECT_EQ(tokenizer.countWords(text), static_cast<long>(tokens.size()));
        for (const auto& token : tokens) {
            EXPECT_FALSE(token.norm.empty());
            EXPECT_EQ(token.norm, Tokenizer::normalize(token.raw));
            EXPECT_EQ(token.phon, Tokenizer::spanishPhonetic(token.norm));
            EXPECT_LE(token.range.end, sanitized.size());
        }
        // The helpers take any bytes, not only what the tokenizer hands them.
        Tokenizer::englishPhonetic(text);
        Tokenizer::collapseRepeats(text);
        NumberSpeller::variants(text, Tokenizer::Language::english);
        EXPECT_TRUE(unicode::isValidUtf8(Tokenizer::normalize(text)));
    }
}

// A spelling met again takes the keys worked out the first time; only its place differs.
TEST(TokenizerTest, ARepeatedSpellingHasTheKeysItHasAlone) {
    const std::string text =
        "Año 2031: el año 2031, y otra vez 2031. ¿Camión? camión Camión, $1,500 y $1,500. "
        "Straße straße 18.4% 18.4% mañana mañana";
    for (const auto language : Tokenizer::allLanguages) {
        const Tokenizer tokenizer(language, "es_ES");
        const auto tokens = tokenizer.tokenize(text);
        ASSERT_EQ(tokens.size(), 21u);
        for (const Token& token : tokens) {
            SCOPED_TRACE(token.raw);
            const auto alone = tokenizer.tokenize(token.raw.view());
            ASSERT_EQ(alone.size(), 1u);
            EXPECT_EQ(token.norm, alone[0].norm);
            EXPECT_EQ(token.phon, alone[0].phon);
            EXPECT_EQ(token.variants, alone[0].variants);
            EXPECT_EQ(token.isSentenceEnd, alone[0].isSentenceEnd);
        }
        expectRangesAddressRaw(text, tokens);
    }
}

// Thousands of distinct spellings, each met again in another case and after many others:
// every word must keep the forms of its own spelling however full the pass's memory gets.
TEST(TokenizerTest, ManyDistinctSpellingsEachKeepTheirOwnForms) {
    std::vector<std::string> spellings;
    for (int i = 0; i < 20000; ++i) {
        std::string word = "p";
        for (int n = i; n > 0; n /= 26) word += static_cast<char>('a' + n % 26);
        spellings.push_back(word);
    }
    std::string text;
    for (const auto& word : spellings) text += word + " ";
    for (auto it = spellings.rbegin(); it != spellings.rend(); ++it) {
        std::string upper = *it;
        upper[0] = 'P';
        text += *it + " " + upper + ", ";
    }
    const Tokenizer tokenizer(Tokenizer::Language::english, "en_US");
    const auto tokens = tokenizer.tokenize(text);
    ASSERT_EQ(tokens.size(), 3 * spellings.size());
    for (const Token& token : tokens) {
        const std::string norm = Tokenizer::normalize(token.raw.view());
        ASSERT_EQ(token.norm, norm) << token.raw;
        ASSERT_EQ(token.phon, Tokenizer::phonetic(norm, Tokenizer::Language::english)) << token.raw;
    }
    expectRangesAddressRaw(text, tokens);
}

TEST(TokenizerTest, NormalizeKeepsLettersNumbersAndInnerHyphensOnly) {
    struct Case {
        const char* name;
        const char* word;
        const char* expected;
    } cases[] = {
        {"accent", "Árbol", "arbol"},
        {"tilde", "año", "ano"},
        {"combining mark", "e\u0301xito", "exito"},
        {"superscript number (No)", "m²", "m²"},
        {"vulgar fraction (No)", "½", "½"},
        {"leading hyphen", "-hola", "hola"},
        {"inner hyphens", "a--b", "a--b"},
        {"trailing hyphens", "fin--", "fin"},
        {"only punctuation", "¿?…", ""},
        {"pictograph", "😀", ""},
        {"dotted capital I", "İstanbul", "istanbul"},
        {"sharp s stays", "Straße", "straße"},
        {"other script", "ΜΟΥΣΙΚΗ", "μουσικη"},
        {"spaces dropped", "a b", "ab"},
        {"digits and signs", "$18.4%", "184"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Tokenizer::normalize(c.word), c.expected);
    }
}

TEST(TokenizerTest, LatinShortcutAgreesWithTheGeneralPath) {
    // Words below U+0370 take a per-character table; a Greek letter sends the same word
    // through ICU's lower-casing and decomposition, which must give the same result.
    for (char32_t c = 0x80; c < 0x370; ++c) {
        std::string word = "A";
        unicode::appendUtf8(word, c);
        const std::string viaTable = Tokenizer::normalize(word);
        EXPECT_EQ(Tokenizer::normalize(word + "Ω"), viaTable + "ω")
            << "U+" << std::hex << static_cast<int>(c);
    }
}

TEST(TokenizerTest, LanguageFollowsTheTranscriptionLocaleAndReadsBackByRawValue) {
    EXPECT_EQ(Tokenizer::languageFor(TranscriptionLocale::englishUS), Tokenizer::Language::english);
    EXPECT_EQ(Tokenizer::languageFor(TranscriptionLocale::englishUK), Tokenizer::Language::english);
    EXPECT_EQ(Tokenizer::languageFor(TranscriptionLocale::spanishSpain),
              Tokenizer::Language::spanish);
    EXPECT_EQ(Tokenizer::languageFor(TranscriptionLocale::spanishMexico),
              Tokenizer::Language::spanish);
    EXPECT_EQ(makeFromRawValue<Tokenizer::Language>("spanish"), Tokenizer::Language::spanish);
    EXPECT_EQ(makeFromRawValue<Tokenizer::Language>("english"), Tokenizer::Language::english);
    EXPECT_EQ(makeFromRawValue<Tokenizer::Language>("English"), std::nullopt);

    SystemLocale::setOverride("es_AR.UTF-8");
    EXPECT_EQ(Tokenizer(Tokenizer::Language::spanish).wordLocale(), "es_AR");
    SystemLocale::setOverride("C");
    EXPECT_EQ(Tokenizer(Tokenizer::Language::spanish).wordLocale(), "en_US");
    SystemLocale::setOverride(std::nullopt);
    EXPECT_EQ(Tokenizer(Tokenizer::Language::english, "en_GB").wordLocale(), "en_GB");
}

}  // namespace
}  // namespace vorela
