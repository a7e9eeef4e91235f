#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Render/Brand.h"
#include "Render/PanelSilhouette.h"
#include "Render/Tween.h"
#include "Voice/VoiceProfile.h"
#include "Voice/VoiceStatus.h"
#include "Window/PrompterContentView.h"

namespace vorela {
namespace {

using namespace PrompterContentView;

TEST(PrompterContentViewTest, TimeTextsRoundToWholeSeconds) {
    struct Case {
        const char* name;
        double seconds;
        const char* expected;
    } cases[] = {
        {"zero", 0, "0:00"},
        {"just under a minute", 59.4, "0:59"},
        {"a half rounds up", 59.5, "1:00"},
        {"rounds into the hour", 3599.6, "1:00:00"},
        {"hours, minutes, seconds", 3725, "1:02:05"},
        {"ten hours", 36000, "10:00:00"},
        // A negative or non-finite rate would have cast NaN to an integer: undefined.
        {"negative", -12, "0:00"},
        {"not a number", std::numeric_limits<double>::quiet_NaN(), "0:00"},
        {"infinite", std::numeric_limits<double>::infinity(), "0:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(timeString(c.seconds), c.expected);
    }
}

TEST(PrompterContentViewTest, TheTextStartsBelowTheNotchOnlyInTheNotchPlacement) {
    EXPECT_EQ(topInset(PanelMode::notch, 32), 32);
    EXPECT_EQ(topInset(PanelMode::floating, 32), 0);
    EXPECT_EQ(topInset(PanelMode::fullscreen, 32), 0);
}

TEST(PrompterContentViewTest, TheMeterMarkerSitsAtTheSpeechThreshold) {
    struct Case {
        const char* name;
        double sensitivity, noiseFloor, expected;
    } cases[] = {
        {"sensitivity 50, room at -50", 50, -50, (-50 + 12 + 60) / 60.0},
        {"sensitivity 0 uses the widest gate", 0, -30, 50 / 60.0},
        {"sensitivity above 100 counts as 100", 250, -50, (-50 + 4 + 60) / 60.0},
        {"a very quiet room: left end", 50, -90, 0},
        {"a loud room: right end", 50, 0, 1},
        {"not a number: left end", 50, std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        VoiceProfile profile;
        profile.sensitivity = c.sensitivity;
        profile.noiseFloor = c.noiseFloor;
        EXPECT_NEAR(meterMarkerFraction(profile), c.expected, 1e-9);
    }
}

TEST(PrompterContentViewTest, EveryVoiceStatusHasItsDotColour) {
    using K = VoiceStatus::Kind;
    Color accent = Brand::accent();
    accent.alpha = 0.8;
    struct Case {
        const char* name;
        VoiceStatus status;
        Color expected;
    } cases[] = {
        {"off is clear", VoiceStatus(K::off), Color::sRGB(0, 0, 0, 0)},
        {"preparing", VoiceStatus(K::preparing), accent},
        {"searching", VoiceStatus(K::searching), accent},
        {"ready", VoiceStatus(K::ready), Color::sRGB(1, 1, 1, 0.4)},
        {"following", VoiceStatus(K::following), Color::sRGB(0, 1, 0, 0.7)},
        {"lost", VoiceStatus(K::lost), Color::sRGB(1, 0, 0, 0.6)},
        {"problem", VoiceStatus::problem("x"), Color::sRGB(1, 0, 0, 0.6)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(matchStateColor(c.status), c.expected);
    }
    EXPECT_EQ(meterFillColor(true), Color::sRGB(0, 1, 0, 0.85));
    EXPECT_EQ(meterFillColor(false), Color::sRGB(1, 1, 1, 0.45));
    EXPECT_EQ(stealthPatternColor(), Color::sRGB(1, 0, 1, 1));
    EXPECT_EQ(&stealthPatternColor(), &stealthPatternColor()) << "one colour for the run";
}

TEST(PanelSilhouetteTest, CornerRadiiFitThePanel) {
    struct Case {
        const char* name;
        bool isNotch;
        Size size;
        double expected;
    } cases[] = {
        {"notch", true, {620, 192}, 24},
        {"a 30 pt notch panel", true, {620, 30}, 15},
        {"rounded", false, {620, 160}, 14},
        {"a very narrow panel", false, {10, 160}, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PanelSilhouette{c.isNotch}.radius(c.size), c.expected);
    }
}

TEST(PanelSilhouetteTest, TheNotchOutlineHasASquareTopAndRoundedFoot) {
    using K = PathElement::Kind;
    const auto path = notchPanelPath({0, 0, 100, 30}, 24);
    const std::vector<PathElement> expected = {{K::moveTo, {0, 0}, {}},
                                               {K::lineTo, {0, 15}, {}},
                                               {K::quadTo, {15, 30}, {0, 30}},
                                               {K::lineTo, {85, 30}, {}},
                                               {K::quadTo, {100, 15}, {100, 30}},
                                               {K::lineTo, {100, 0}, {}},
                                               {K::close, {}, {}}};
    EXPECT_EQ(path, expected);
}

TEST(TweenTest, EasesOutAndRetargetsFromWhereItIs) {
    const Tween fade{0, 1, 10, 0.15, Tween::Curve::easeOut};
    EXPECT_EQ(fade.value(10), 0);
    EXPECT_GT(fade.value(10.075), 0.5) << "an ease-out is past half way at half time";
    EXPECT_EQ(fade.value(10.15), 1);
    EXPECT_TRUE(fade.isDone(10.15));
    const Tween back = fade.retargeted(0, 10.075, 0.15, Tween::Curve::easeOut);
    EXPECT_DOUBLE_EQ(back.value(10.075), fade.value(10.075)) << "no jump on reversal";
    EXPECT_EQ(back.value(20), 0);
}

}  // namespace
}  // namespace vorela
