#include <gtest/gtest.h>

#include "Onboarding/WelcomeHero.h"
#include "Platform/Accessibility/Fake/FakeAccessibilitySettings.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Render/Brand.h"

namespace vorela {
namespace {

const Color kAhead = Color::sRGB(1, 1, 1, 0.55);
const Color kRead = Color::sRGB(1, 1, 1, 0.18);

TEST(WelcomeHeroTest, TheLitBarDecidesRowMoveColoursAndProgress) {
    const struct {
        const char* name;
        int spoken, row;
        double offset, progress;
        Color firstBar, lastBar;
    } cases[] = {
        {"first bar", 0, 0, 0, 1.0 / 19, Brand::accent(), kAhead},
        {"first bar of row 1", 5, 1, 0, 6.0 / 19, kRead, kAhead},
        {"first bar of row 2", 10, 2, 14, 11.0 / 19, kRead, kAhead},
        {"last bar", 18, 3, 28, 1, kRead, Brand::accent()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WelcomeHero::currentRow(c.spoken), c.row);
        EXPECT_DOUBLE_EQ(WelcomeHero::rowsOffset(c.spoken), c.offset);
        EXPECT_DOUBLE_EQ(WelcomeHero::progressFraction(c.spoken), c.progress);
        EXPECT_EQ(WelcomeHero::color(c.spoken, 0, 0), c.firstBar);
        EXPECT_EQ(WelcomeHero::color(c.spoken, 3, 4), c.lastBar);
    }
    EXPECT_EQ(WelcomeHero::totalWords(), 19);
    EXPECT_EQ(WelcomeHero::color(5, 1, 0), Brand::accent()) << "bar 5 is row 1's first";
    EXPECT_EQ(WelcomeHero::color(5, 0, 4), kRead);
}

TEST(WelcomeHeroTest, MicrophoneBarHeights) {
    const struct {
        double level;
        double heights[4];
    } cases[] = {{0.25, {2.8, 6.3, 4.2, 7}}, {0.85, {5.2, 11.7, 7.8, 13}}};
    for (const auto& c : cases) {
        for (int bar = 0; bar < 4; ++bar) {
            SCOPED_TRACE(bar);
            EXPECT_NEAR(WelcomeHero::micBarHeight(bar, c.level), c.heights[bar], 1e-9);
        }
    }
}

class WelcomeHeroAnimationTest : public ::testing::Test {
protected:
    ManualRunLoop loop_;
    FakeAccessibilitySettings accessibility_;
};

TEST_F(WelcomeHeroAnimationTest, TicksEveryIntervalAndWrapsAfterTheLastBar) {
    WelcomeHero hero(loop_, accessibility_, 0, 0.2, 7);
    hero.start();
    hero.start();  // a second start adds no second timer
    // Times stay off the tick instants (0.42 s apart) so float sums cannot fall short.
    loop_.advanceBy(0.41);
    EXPECT_EQ(hero.spoken(), 0);
    EXPECT_DOUBLE_EQ(hero.micLevel(), 0.2);
    loop_.advanceBy(0.02);
    EXPECT_EQ(hero.spoken(), 1);
    EXPECT_GE(hero.micLevel(), 0.25);
    EXPECT_LE(hero.micLevel(), 0.85);
    loop_.advanceBy(17 * 0.42);
    EXPECT_EQ(hero.spoken(), 18);
    EXPECT_GT(hero.drawnProgressFraction(), WelcomeHero::progressFraction(17));
    EXPECT_LT(hero.drawnProgressFraction(), 1) << "the bar glides, it does not jump";
    loop_.advanceBy(0.35);
    EXPECT_DOUBLE_EQ(hero.drawnProgressFraction(), 1);
    loop_.advanceBy(0.07);
    EXPECT_EQ(hero.spoken(), 0) << "after bar 18 the reading starts again";
    EXPECT_NEAR(hero.drawnRowsOffset(), 28, 0.01) << "glides back from the last row";
    loop_.advanceBy(0.165);
    EXPECT_GT(hero.drawnRowsOffset(), 1);
    EXPECT_LT(hero.drawnRowsOffset(), 27);
    EXPECT_TRUE(hero.isGliding());
    loop_.advanceBy(0.2);
    EXPECT_DOUBLE_EQ(hero.drawnRowsOffset(), 0);
    EXPECT_EQ(hero.drawnColor(0, 0), Brand::accent());
    EXPECT_FALSE(hero.isGliding());
}

TEST_F(WelcomeHeroAnimationTest, ASeedGivesTheSameLevelsEveryRun) {
    auto levels = [this](std::uint32_t seed) {
        WelcomeHero hero(loop_, accessibility_, 0, 0.2, seed);
        hero.start();
        loop_.advanceBy(0.01);  // off the tick instants
        std::vector<double> seen;
        for (int i = 0; i < 5; ++i) {
            loop_.advanceBy(0.42);
            seen.push_back(hero.micLevel());
        }
        return seen;
    };
    const auto first = levels(42);
    EXPECT_EQ(first, levels(42));
    EXPECT_NE(first, levels(43));
    // The bars glide to the new level within 0.18 s.
    WelcomeHero hero(loop_, accessibility_, 0, 0.2, 42);
    hero.start();
    loop_.advanceBy(0.43);
    EXPECT_NEAR(hero.drawnMicBarHeight(3), 10 * 0.65, 0.05) << "from 0.2 at the tick";
    loop_.advanceBy(0.2);
    EXPECT_NEAR(hero.drawnMicBarHeight(3), 10 * (first[0] + 0.45), 1e-9);
}

TEST_F(WelcomeHeroAnimationTest, ReduceMotionKeepsThePictureStill) {
    accessibility_.setReduceMotion(true);
    WelcomeHero hero(loop_, accessibility_, 0, 0.2, 7);
    hero.start();
    EXPECT_FALSE(hero.isAnimating());
    loop_.advanceBy(5);
    EXPECT_EQ(hero.spoken(), 0);
    EXPECT_EQ(loop_.pendingTaskCount(), 0u);
}

TEST_F(WelcomeHeroAnimationTest, ItsTimerEndsWithIt) {
    {
        WelcomeHero hero(loop_, accessibility_, 0, 0.2, 7);
        hero.start();
        EXPECT_EQ(loop_.pendingTaskCount(), 1u);
    }
    EXPECT_EQ(loop_.pendingTaskCount(), 0u);
    loop_.advanceBy(1);
}

}  // namespace
}  // namespace vorela
