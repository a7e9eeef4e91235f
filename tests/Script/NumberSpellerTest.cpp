#include <gtest/gtest.h>

#include <limits>

#include "Script/NumberSpeller.h"

namespace vorela {
namespace {

using Language = Tokenizer::Language;
using Words = std::vector<std::string>;

TEST(NumberSpellerTest, SpellsIntegersInBothLanguages) {
    struct Case {
        std::int64_t n;
        const char* spanish;
        const char* english;
    } cases[] = {
        {0, "cero", "zero"},
        {16, "dieciseis", "sixteen"},
        {21, "veintiuno", "twenty one"},
        {30, "treinta", "thirty"},
        {31, "treinta y uno", "thirty one"},
        {100, "cien", "one hundred"},
        {101, "ciento uno", "one hundred one"},
        {200, "doscientos", "two hundred"},
        {999, "novecientos noventa y nueve", "nine hundred ninety nine"},
        {1000, "mil", "one thousand"},
        {1999, "mil novecientos noventa y nueve", "one thousand nine hundred ninety nine"},
        {2000, "dos mil", "two thousand"},
        {21000, "veintiuno mil", "twenty one thousand"},
        {100100, "cien mil cien", "one hundred thousand one hundred"},
        {1000000, "un millon", "one million"},
        {1000001, "un millon uno", "one million one"},
        {2500000, "dos millones quinientos mil", "two million five hundred thousand"},
        {1000000000, "mil millones", "one thousand million"},
        {-5, "menos cinco", "minus five"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.n);
        EXPECT_EQ(NumberSpeller::spanish(c.n), c.spanish);
        EXPECT_EQ(NumberSpeller::english(c.n), c.english);
    }
}

TEST(NumberSpellerTest, SmallestInt64IsSpelledWithoutOverflow) {
    // Negating the smallest int64 to spell its magnitude overflowed (undefined behaviour,
    // caught by UBSan); the magnitude 2^63 is representable unsigned and spelled as such.
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    const std::string spanish = NumberSpeller::spanish(kMin);
    EXPECT_TRUE(spanish.starts_with("menos nueve millones doscientos veintitres mil")) << spanish;
    EXPECT_TRUE(spanish.ends_with("setecientos setenta y cinco mil ochocientos ocho")) << spanish;
    const std::string english = NumberSpeller::english(kMin);
    EXPECT_TRUE(english.starts_with("minus nine million two hundred")) << english;
    EXPECT_TRUE(english.ends_with("thousand eight hundred eight")) << english;
    EXPECT_TRUE(NumberSpeller::spanish(kMin + 1).ends_with("ochocientos siete"));
}

TEST(NumberSpellerTest, VariantsOfTokenTexts) {
    struct Case {
        const char* name;
        const char* text;
        Language language;
        Words expected;
    } cases[] = {
        {"plain word", "hola", Language::spanish, {}},
        {"quetzal price", "Q92", Language::spanish, {"92", "de", "dos", "noventa", "quetzales"}},
        {"percentage",
         "18.4%",
         Language::spanish,
         {"18.4", "ciento", "cuatro", "dieciocho", "por", "punto"}},
        {"year, both readings",
         "2031",
         Language::spanish,
         {"2031", "dos", "mil", "treinta", "uno", "veinte"}},
        {"English year",
         "1985",
         Language::english,
         {"1985", "eighty", "five", "hundred", "nine", "nineteen", "one", "thousand"}},
        {"round hundred is no year", "1900", Language::spanish, {"1900", "mil", "novecientos"}},
        {"below the year range", "1099", Language::spanish, {"1099", "mil", "noventa", "nueve"}},
        {"dot is a decimal point", "1.000", Language::spanish, {"1.000", "cero", "punto", "uno"}},
        {"comma separates thousands", "1,000", Language::spanish, {"1000", "mil"}},
        {"only the first dot splits",
         "1.000.000",
         Language::spanish,
         {"1.000.000", "cero", "punto", "uno"}},
        {"full stop kept, no year",
         "2031.",
         Language::spanish,
         {"2031.", "dos", "mil", "treinta", "uno"}},
        {"leading dot", ".5", Language::spanish, {}},
        {"sign trimmed", "-5", Language::english, {"5", "five"}},
        {"thousand scale after digit", "5km", Language::spanish, {"5", "cinco", "mil"}},
        {"K scale", "5K", Language::english, {"5", "five", "thousand"}},
        {"million scale", "2.5M", Language::spanish, {"2.5", "cinco", "dos", "millones", "punto"}},
        {"quantity is the integer part",
         "1.5M",
         Language::spanish,
         {"1.5", "cinco", "millon", "punto", "uno"}},
        {"dollars with thousands",
         "$1,500",
         Language::english,
         {"1500", "dollars", "five", "hundred", "one", "thousand"}},
        {"euros", "€20", Language::spanish, {"20", "euros", "veinte"}},
        {"pound sign gives no currency", "£7", Language::spanish, {"7", "siete"}},
        {"Arabic-Indic digit", "٣", Language::spanish, {}},
        {"superscript in the integer", "5²", Language::spanish, {}},
        {"superscript as a decimal", "1.²", Language::spanish, {"1.²", "dos", "punto", "uno"}},
        {"largest int64", "9223372036854775807", Language::english, {}},
        {"beyond int64", "9223372036854775808", Language::spanish, {}},
        {"twenty digits", "12345678901234567890", Language::spanish, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Words words = NumberSpeller::variants(c.text, c.language);
        if (std::string_view(c.name) == "largest int64") {
            EXPECT_FALSE(words.empty());
            EXPECT_EQ(words.front(), "9223372036854775807");
        } else {
            EXPECT_EQ(words, c.expected);
        }
    }
}

TEST(NumberSpellerTest, DetectsCurrencyAndScaleMarks) {
    using Currency = NumberSpeller::Currency;
    using Scale = NumberSpeller::Scale;
    EXPECT_EQ(NumberSpeller::detectCurrency("US$5"), Currency::usd);
    EXPECT_EQ(NumberSpeller::detectCurrency("5€"), Currency::eur);
    EXPECT_EQ(NumberSpeller::detectCurrency("q92"), Currency::gtq);
    EXPECT_EQ(NumberSpeller::detectCurrency("QAQ5"), std::nullopt);  // only the first Q counts
    EXPECT_EQ(NumberSpeller::detectCurrency("5Q"), std::nullopt);
    EXPECT_EQ(NumberSpeller::detectCurrency("₡5"), std::nullopt);

    EXPECT_EQ(NumberSpeller::detectScale("3mb"), Scale::million);
    EXPECT_EQ(NumberSpeller::detectScale("4b"), Scale::billion);
    EXPECT_EQ(NumberSpeller::detectScale("M5"), std::nullopt);
    EXPECT_EQ(NumberSpeller::detectScale("5m m"), std::nullopt);  // the last M decides

    EXPECT_EQ(NumberSpeller::scaleWord(Scale::million, Language::spanish, 1), "millon");
    EXPECT_EQ(NumberSpeller::scaleWord(Scale::million, Language::spanish, 0), "millones");
    EXPECT_EQ(NumberSpeller::scaleWord(Scale::billion, Language::spanish, 3), "mil millones");
    EXPECT_EQ(NumberSpeller::currencyWord(Currency::gtq, Language::english), "quetzals");
}

}  // namespace
}  // namespace vorela
