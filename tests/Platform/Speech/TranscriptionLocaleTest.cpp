#include <gtest/gtest.h>

#include "Matcher/TranscriptionUpdate.h"
#include "Platform/Bundle/SystemLocale.h"
#include "Platform/Defaults/RawRepresentable.h"
#include "Platform/Speech/TranscriptionLocale.h"

namespace vorela {
namespace {

static_assert(RawRepresentable<TranscriptionLocale>);

TEST(TranscriptionLocaleTest, SystemDefaultFollowsLanguageAndRegion) {
    struct Case {
        const char* name;
        const char* identifier;
        TranscriptionLocale expected;
    } cases[] = {
        {"Spanish, Argentina", "es_AR.UTF-8", TranscriptionLocale::spanishMexico},
        {"Spanish without region", "es", TranscriptionLocale::spanishMexico},
        {"Spanish, Spain", "es_ES.UTF-8@euro", TranscriptionLocale::spanishSpain},
        {"English, Australia", "en_AU.UTF-8", TranscriptionLocale::englishUS},
        {"French, France", "fr_FR.UTF-8", TranscriptionLocale::englishUS},
        {"English, United Kingdom", "en_GB.UTF-8", TranscriptionLocale::englishUK},
        {"C locale has no language", "C", TranscriptionLocale::englishUS},
        {"POSIX locale has no language", "POSIX", TranscriptionLocale::englishUS},
        {"empty", "", TranscriptionLocale::englishUS},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SystemLocale::setOverride(c.identifier);
        EXPECT_EQ(systemDefaultTranscriptionLocale(), c.expected);
    }
    SystemLocale::setOverride(std::nullopt);
}

TEST(TranscriptionLocaleTest, RawValuesReadBackExactlyAndNothingElseDoes) {
    for (auto locale : kAllTranscriptionLocales) {
        EXPECT_EQ(makeFromRawValue<TranscriptionLocale>(rawValue(locale)), locale);
    }
    EXPECT_EQ(makeFromRawValue<TranscriptionLocale>("es-ES"), TranscriptionLocale::spanishSpain);
    EXPECT_EQ(makeFromRawValue<TranscriptionLocale>("en-GB"), TranscriptionLocale::englishUK);
    EXPECT_EQ(makeFromRawValue<TranscriptionLocale>("es_ES"), std::nullopt);
    EXPECT_EQ(makeFromRawValue<TranscriptionLocale>(""), std::nullopt);
    EXPECT_EQ(localizedName(TranscriptionLocale::spanishMexico), "Español (Latinoamérica)");
}

TEST(TranscriptionUpdateTest, AbsentTimestampsDifferFromAnEmptyList) {
    TranscriptionUpdate a{{"hola"}, false, std::nullopt, 3.0};
    TranscriptionUpdate b{{"hola"}, false, std::vector<double>{}, 3.0};
    EXPECT_NE(a, b);
    EXPECT_EQ(a, (TranscriptionUpdate{{"hola"}, false, std::nullopt, 3.0}));
}

}  // namespace
}  // namespace vorela
