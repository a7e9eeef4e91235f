#include <gtest/gtest.h>

#include <clocale>

#include "Platform/Foundation/Format.h"

namespace vorela {
namespace {

TEST(FormatTest, UsesAPointWhateverTheProcessLocale) {
    // A desktop in Spanish sets a "," decimal separator; ours must not follow it.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = previous ? previous : "C";
    const bool switched = std::setlocale(LC_NUMERIC, "es_ES.UTF-8") != nullptr ||
                          std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    EXPECT_EQ(format("%.1f dB", -42.25), "-42.2 dB");
    EXPECT_EQ(format("%s=%d", "wpm", 140), "wpm=140");
    EXPECT_EQ(formatDouble(0.1), "0.1");
    EXPECT_EQ(formatDouble(140.0), "140");
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!switched) GTEST_SKIP() << "no comma-decimal locale installed; checked the C locale only";
}

TEST(FormatTest, LongOutputIsNotTruncated) {
    const std::string longText(1000, 'x');
    EXPECT_EQ(format("[%s]", longText.c_str()).size(), 1002u);
}

}  // namespace
}  // namespace vorela
