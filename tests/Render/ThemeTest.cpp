#include <gtest/gtest.h>

#include "Platform/Defaults/RawRepresentable.h"
#include "Platform/Defaults/UserDefaults.h"
#include "Prefs/Prefs.h"
#include "Render/Brand.h"
#include "Render/Theme.h"

namespace vorela {
namespace {

namespace Keys = Prefs::Keys;

class ThemeTest : public ::testing::Test {
protected:
    ThemeTest() { UserDefaults::setStandard(defaults_); }
    ~ThemeTest() override { UserDefaults::setStandard(nullptr); }

    std::shared_ptr<UserDefaults> defaults_ = UserDefaults::inMemory();
};

TEST_F(ThemeTest, NothingStoredGivesTheDefaults) {
    const Theme theme = Theme::current();
    EXPECT_EQ(theme.fontFamily, ThemeFont::sans);
    EXPECT_EQ(theme.fontSize, 28);
    EXPECT_FALSE(theme.isBold);
    EXPECT_EQ(theme.lineSpacing, 1.3);
    EXPECT_EQ(theme.textColor, ThemeTextColor::cream);
    EXPECT_EQ(theme.highlightColor, ThemeTextColor::brand);
    EXPECT_EQ(theme.backgroundOpacity, 1.0);
    EXPECT_EQ(theme.readingLinePosition, 0.36);
    EXPECT_TRUE(theme.dimPassedText);
    EXPECT_TRUE(theme.highlightCurrentWord);
    EXPECT_EQ(theme.mirror, MirrorMode::none);
    EXPECT_EQ(theme, Theme{});
}

TEST_F(ThemeTest, ClampsOnlyTheReturnedThemeNeverTheStoredValues) {
    const struct {
        const char* name;
        const Prefs::Key<double>& key;
        double stored;
        double Theme::*field;
        double expected;
    } cases[] = {
        {"font size 8", Keys::themeFontSize(), 8, &Theme::fontSize, 14},
        {"font size 60", Keys::themeFontSize(), 60, &Theme::fontSize, 48},
        {"line spacing 3", Keys::themeLineSpacing(), 3, &Theme::lineSpacing, 2.0},
        {"line spacing 0.5", Keys::themeLineSpacing(), 0.5, &Theme::lineSpacing, 1.0},
        {"reading line 0.1", Keys::readingLinePosition(), 0.1, &Theme::readingLinePosition, 0.2},
        {"reading line 0.9", Keys::readingLinePosition(), 0.9, &Theme::readingLinePosition, 0.5},
        {"opacity 1.7 is not clamped", Keys::themeBackgroundOpacity(), 1.7,
         &Theme::backgroundOpacity, 1.7},
        {"in range passes", Keys::themeFontSize(), 31.5, &Theme::fontSize, 31.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Prefs::set(c.key, c.stored);
        EXPECT_EQ(Theme::current().*c.field, c.expected);
        EXPECT_EQ(Prefs::get(c.key), c.stored);
        c.key.reset();
    }
}

TEST_F(ThemeTest, StoredChoicesAreReadAndUnknownRawValuesReadAsDefaults) {
    Prefs::set(Keys::themeFont(), ThemeFont::dyslexic);
    Prefs::set(Keys::mirrorMode(), MirrorMode::rotated180);
    Prefs::set(Keys::themeBold(), true);
    defaults_->set("themeTextColor", PropertyList("purple"));
    defaults_->set("themeHighlightColor", PropertyList(3));
    defaults_->set("themeFontSize", PropertyList("big"));

    const Theme theme = Theme::current();
    EXPECT_EQ(theme.fontFamily, ThemeFont::dyslexic);
    EXPECT_EQ(theme.mirror, MirrorMode::rotated180);
    EXPECT_TRUE(theme.isBold);
    EXPECT_EQ(theme.textColor, ThemeTextColor::cream);
    EXPECT_EQ(theme.highlightColor, ThemeTextColor::brand);
    EXPECT_EQ(theme.fontSize, 28);
    EXPECT_EQ(defaults_->string("mirrorMode"), "rotated180") << "stored by raw value";

    Theme mirrored = theme;
    mirrored.mirror = MirrorMode::horizontal;
    EXPECT_NE(mirrored, theme);
}

TEST(ThemeChoicesTest, ColoursNamesAndScales) {
    EXPECT_EQ(color(ThemeTextColor::brand), Brand::accent());
    EXPECT_EQ(Brand::accent(), Color::sRGB(247 / 255.0, 126 / 255.0, 45 / 255.0));
    EXPECT_EQ(color(ThemeTextColor::amber), Color::sRGB(1.0, 0.75, 0.29));
    EXPECT_EQ(localizedName(ThemeTextColor::amber), "Ámbar");
    EXPECT_EQ(localizedName(ThemeFont::mono), "Monoespaciada");
    EXPECT_EQ(localizedName(MirrorMode::rotated180), "Rotado 180°");
    EXPECT_EQ(scale(MirrorMode::vertical), (MirrorScale{1, -1}));
    EXPECT_EQ(scale(MirrorMode::rotated180), (MirrorScale{-1, -1}));
    for (auto c : kAllThemeTextColors) EXPECT_EQ(makeFromRawValue<ThemeTextColor>(rawValue(c)), c);
    for (auto f : kAllThemeFonts) EXPECT_EQ(makeFromRawValue<ThemeFont>(rawValue(f)), f);
    for (auto m : kAllMirrorModes) EXPECT_EQ(makeFromRawValue<MirrorMode>(rawValue(m)), m);
}

TEST(ThemeChoicesTest, NamedFamiliesFallBackToTheSystemFontAtTheWeight) {
    using Kind = FontCandidate::Kind;
    const auto dyslexic = font(ThemeFont::dyslexic, 30, FontWeight::semibold);
    ASSERT_EQ(dyslexic.candidates.size(), 3u);
    EXPECT_EQ(dyslexic.candidates[0],
              (FontCandidate{Kind::family, "OpenDyslexic", 30, std::nullopt}));
    EXPECT_EQ(dyslexic.candidates[1].familyName, "OpenDyslexic-Regular");
    EXPECT_EQ(dyslexic.candidates[2], (FontCandidate{Kind::system, "", 30, FontWeight::semibold}));

    const auto serif = font(ThemeFont::serif, 20, FontWeight::semibold);
    EXPECT_EQ(serif.candidates.front().weight, std::nullopt) << "the serif face takes no weight";
    EXPECT_EQ(serif.candidates.back().kind, Kind::system);
    EXPECT_EQ(font(ThemeFont::mono, 20, FontWeight::regular).candidates.front().kind,
              Kind::systemMonospaced);
}

}  // namespace
}  // namespace vorela
