#include <gtest/gtest.h>

#include <algorithm>

#include "Render/FrameShading.h"
#include "Render/PrompterTextView.h"
#include "Support/GridTextLayoutEngine.h"

namespace vorela {
namespace {

// A 160 pt view with the reading line at 0.36: line at 58, fade from 0 to 45.24 at the
// top and over the last 28 pt at the bottom.
FrameShading shadingOf(bool dims) {
    testing::GridTextLayoutEngine engine;
    Theme theme;
    theme.readingLinePosition = 0.36;
    theme.dimPassedText = dims;
    PrompterTextView view(engine, theme);
    view.setViewSize({400, 160});
    return FrameShading::of(view);
}

TEST(FrameShadingTest, FadeAndDimFollowTheViewsStops) {
    const FrameShading s = shadingOf(true);
    EXPECT_DOUBLE_EQ(s.fadeTop, 0.78 * 58);
    EXPECT_DOUBLE_EQ(s.fadeBottom, 132);
    EXPECT_DOUBLE_EQ(s.dimEnd, 58);
    struct Case {
        const char* name;
        double y, fade, dim;
    } cases[] = {
        {"top edge", 0, 0, 0.88},
        {"half way up the top fade", 0.39 * 58, 0.5, 0.88 - 0.46 * (0.39 / 0.45)},
        {"where the dim is 0.42", 0.45 * 58, 1 * (0.45 / 0.78), 0.42},
        {"reading line", 58, 1, 0},
        {"middle", 100, 1, 0},
        {"half way down the bottom fade", 146, 0.5, 0},
        {"bottom edge", 160, 0, 0},
        {"outside", -5, 0, 0.88},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(s.fade(c.y), c.fade, 1e-9);
        EXPECT_NEAR(s.dim(c.y), c.dim, 1e-9);
    }
    EXPECT_EQ(shadingOf(false).dim(0), 0) << "without dimming nothing darkens";
}

TEST(FrameShadingTest, OnlyStretchesUntouchedByFadeAndDimArePlain) {
    const FrameShading dimmed = shadingOf(true), undimmed = shadingOf(false);
    EXPECT_TRUE(dimmed.isPlain(58, 100));
    EXPECT_FALSE(dimmed.isPlain(50, 70)) << "reaches above the reading line";
    EXPECT_TRUE(undimmed.isPlain(50, 70)) << "only the fade counts without dimming";
    EXPECT_FALSE(undimmed.isPlain(40, 70));
    EXPECT_FALSE(dimmed.isPlain(120, 140)) << "reaches into the bottom fade";
}

TEST(FrameShadingTest, StopsFollowFadeTimesDimWithinAHundredth) {
    // A linear gradient through the stops stands for fade x dim and for the darkened text.
    for (const bool dims : {true, false}) {
        SCOPED_TRACE(dims ? "dimmed" : "undimmed");
        const FrameShading s = shadingOf(dims);
        const auto stops = s.stops();
        ASSERT_GE(stops.size(), 4u);
        EXPECT_TRUE(std::is_sorted(stops.begin(), stops.end()));
        EXPECT_EQ(stops.front(), 0);
        EXPECT_EQ(stops.back(), 160);
        const auto product = [&s](double y) { return s.fade(y) * (1 - s.dim(y)); };
        const auto blackProduct = [&s](double y) { return s.fade(y) * s.dim(y); };
        for (std::size_t i = 0; i + 1 < stops.size(); ++i) {
            const double a = stops[i], b = stops[i + 1];
            for (double t = 0.125; t < 1; t += 0.125) {
                const double y = a + (b - a) * t;
                EXPECT_NEAR(product(y), product(a) + (product(b) - product(a)) * t, 0.01) << y;
                EXPECT_NEAR(blackProduct(y),
                            blackProduct(a) + (blackProduct(b) - blackProduct(a)) * t, 0.01)
                    << y;
            }
        }
    }
}

}  // namespace
}  // namespace vorela
