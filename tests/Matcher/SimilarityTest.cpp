#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "Matcher/Similarity.h"

namespace vorela {
namespace {

// Plain full-table Levenshtein distance over bytes: the reference the early exits of
// Similarity::ratio must agree with.
long fullDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<long>> d(a.size() + 1, std::vector<long>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = static_cast<long>(i);
    for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = static_cast<long>(j);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1), d[i - 1][j] + 1,
                                d[i][j - 1] + 1});
        }
    }
    return d[a.size()][b.size()];
}

TEST(SimilarityTest, GradesNearMissesByByteDistance) {
    struct Case {
        const char* name;
        std::string a;
        std::string b;
        double expected;
    } cases[] = {
        {"equal texts", "hola", "hola", 1.0},
        {"both empty", "", "", 1.0},
        {"one empty", "hola", "", 0.0},
        {"five bytes, one differs: allowance 0", "perro", "perra", 0.0},
        {"ten bytes, last differs", "presidente", "presidenta", 0.9},
        {"six bytes, one differs: allowance 1", "cuando", "cuanto", 1.0 - 1.0 / 6},
        {"eleven bytes, two differ", "informacion", "informasiom", 1.0 - 2.0 / 11},
        {"length gap beyond allowance", "casa", "casamiento", 0.0},
        {"one insertion at eleven bytes", "organizacio", "organizacion", 1.0 - 1.0 / 12},
        {"accent counts as two bytes", "camion", "camión", 0.0},
        {"accent in a long word", "comunicacion", "comunicación", 1.0 - 2.0 / 13},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_DOUBLE_EQ(Similarity::ratio(c.a, c.b, 0.8), c.expected);
        EXPECT_DOUBLE_EQ(Similarity::ratio(c.b, c.a, 0.8), c.expected);
    }
    // The row test only rules out hopeless pairs, so a pair may pass it and land below
    // the threshold (3 edits at 12 bytes); which rows exceed first depends on the order.
    EXPECT_DOUBLE_EQ(Similarity::ratio("xxxxxxbabaab", "xxxxxxabbabb", 0.8), 0.75);
    EXPECT_EQ(Similarity::ratio("xxxxxxabbabb", "xxxxxxbabaab", 0.8), 0.0);
}

TEST(SimilarityTest, CanonicallyEquivalentTextsAreEqual) {
    const std::string composed = "canci\xC3\xB3n";     // ó as one code point
    const std::string decomposed = "cancio\xCC\x81n";  // o + combining acute
    EXPECT_EQ(Similarity::ratio(composed, decomposed, 0.8), 1.0);
    EXPECT_EQ(Similarity::ratio("\xE2\x84\xAA", "K", 0.8), 1.0);  // Kelvin sign
    // Not equivalent: an ñ is not an n.
    EXPECT_EQ(Similarity::ratio("a\xC3\xB1o", "ano", 0.8), 0.0);
}

TEST(SimilarityTest, AgreesWithFullLevenshteinOnRandomStrings) {
    // Multi-byte pieces make byte distances differ from character distances; none of
    // them has a canonical equivalent in the set, so equality is byte equality here.
    const std::vector<std::string> pieces = {
        "a", "b", "e", "s", "\xC3\xB1", "\xC3\xA9", "\xE2\x82\xAC", "\xE6\x97\xA5", "-", "9"};
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(0, 9);
    const double thresholds[] = {0.8, 0.5, 0.0, 0.95, 1.0};
    auto randomText = [&] {
        std::string s;
        for (int i = length(rng); i > 0; --i) s += pieces[piece(rng)];
        return s;
    };
    for (int round = 0; round < 20000; ++round) {
        std::string a = randomText();
        // Half the pairs are mutations of each other so that small distances are common.
        std::string b = round % 2 ? randomText() : a;
        if (round % 2 == 0 && !b.empty()) b[rng() % b.size()] = 'x';
        const double threshold = thresholds[round % 5];
        const double r = Similarity::ratio(a, b, threshold);
        if (a == b) {
            ASSERT_EQ(r, 1.0);
            continue;
        }
        if (a.empty() || b.empty()) {
            ASSERT_EQ(r, 0.0);
            continue;
        }
        const double longer = static_cast<double>(std::max(a.size(), b.size()));
        const long d = fullDistance(a, b);
        const long allowance = static_cast<long>((1.0 - threshold) * longer);
        const double exact = 1.0 - static_cast<double>(d) / longer;
        if (d <= allowance) {
            ASSERT_DOUBLE_EQ(r, exact) << "'" << a << "' '" << b << "' t=" << threshold;
        } else {
            ASSERT_TRUE(r == 0.0 || r == exact) << "'" << a << "' '" << b << "' t=" << threshold;
        }
    }
}

TEST(SimilarityTest, LongTextsAndOddThresholdsStayWellDefined) {
    const std::string longA(300, 'a');
    std::string longB = longA;
    longB[150] = 'b';
    EXPECT_DOUBLE_EQ(Similarity::ratio(longA, longB, 0.8), 1.0 - 1.0 / 300);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(Similarity::ratio("abcdef", "abcdeg", nan), 0.0);
    EXPECT_EQ(Similarity::ratio("abcdef", "abcdeg", 2.0), 0.0);
    EXPECT_DOUBLE_EQ(Similarity::ratio("abc", "xyz", -5.0), 0.0);  // d = L: allowed, ratio 0
    EXPECT_DOUBLE_EQ(Similarity::ratio("abcd", "xyz", -1.0), 0.0);
}

}  // namespace
}  // namespace vorela
