#include <gtest/gtest.h>

#include "Script/PhoneticKey.h"
#include "Script/Tokenizer.h"

namespace vorela {
namespace {

struct KeyCase {
    const char* name;
    const char* word;
    const char* key;
};

TEST(PhoneticKeyTest, SpanishKeyFollowsSpellingRules) {
    const KeyCase cases[] = {
        {"ll becomes y", "millones", "miyones"},
        {"qu and soft c", "quince", "kinse"},
        {"gu before e or i", "seguidos", "segidos"},
        {"soft g and hard c", "logistico", "lojistiko"},
        {"soft c and repeats collapsed", "cerramos", "seramos"},
        {"silent h", "hoy", "oy"},
        {"x becomes ks", "aproximadamente", "aproksimadamente"},
        {"v becomes b", "vamos", "bamos"},
        {"ch stays", "chico", "chiko"},
        {"c at the end", "tic", "tik"},
        {"cc before i", "accion", "aksion"},
        {"q without u", "qatar", "katar"},
        {"g at the end", "zigzag", "sigsag"},
        {"gu before a keeps the u", "guapo", "guapo"},
        {"g before u at the end", "gu", "gu"},
        {"w becomes b", "wifi", "bifi"},
        {"digits kept", "q92", "k92"},
        {"hyphen kept", "bien-estar", "bien-estar"},
        {"other scripts pass through", "мир", "мир"},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PhoneticKey::spanish(c.word), c.key);
        EXPECT_EQ(Tokenizer::phonetic(c.word, Tokenizer::Language::spanish), c.key);
    }
}

TEST(PhoneticKeyTest, EnglishKeyFollowsSpellingRules) {
    const KeyCase cases[] = {
        {"silent k, gh", "knight", "nt"},
        {"ph", "phone", "fn"},
        {"th and mb at the end", "thumb", "0m"},
        {"sch and doubled o", "school", "sxl"},
        {"soft c, final y", "city", "st"},
        {"qu and ck", "quick", "k"},
        {"d and final g", "dog", "tk"},
        {"doubled first vowel", "eel", "l"},
        {"leading x", "xray", "sr"},
        {"silent w", "write", "rt"},
        {"silent g", "gnome", "nm"},
        {"silent p", "pneumonia", "nmn"},
        {"ae", "aerial", "erl"},
        {"doubled c coded letter by letter", "accent", "aksnt"},
        {"b after m not last", "amber", "ambr"},
        {"w before vowel", "away", "aw"},
        {"y before vowel", "yes", "ys"},
        {"soft g", "age", "aj"},
        {"v", "seven", "sfn"},
        {"z", "zoo", "s"},
        {"sh", "ship", "xp"},
        {"digits kept", "r2d2", "r2t2"},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PhoneticKey::english(c.word), c.key);
        EXPECT_EQ(Tokenizer::phonetic(c.word, Tokenizer::Language::english), c.key);
    }
}

TEST(PhoneticKeyTest, CollapseRepeatsComparesWholeCharacters) {
    const KeyCase cases[] = {
        {"empty", "", ""},
        {"single", "a", "a"},
        {"runs", "aaabbbcca", "abca"},
        {"non-ASCII run", "ññña", "ña"},
        {"astral run", "𝒜𝒜b", "𝒜b"},
        // Decomposed Hangul: each syllable is three code points but one character.
        {"jamo clusters", "\u1100\u1161\u11A8\u1100\u1161\u11A8", "\u1100\u1161\u11A8"},
        {"a mark keeps its base apart", "ee\u0301", "ee\u0301"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Tokenizer::collapseRepeats(c.word), c.key);
    }
}

}  // namespace
}  // namespace vorela
