#include <gtest/gtest.h>

#include "Platform/Foundation/Geometry.h"

namespace vorela {
namespace {

TEST(GeometryTest, TopLeftDesktopTurnsIntoBottomLeftSpaceAroundThePrimaryScreen) {
    // Qt-style desktop: primary 1920 x 1080 at (0, 0); a laptop panel to its left whose
    // bottom edge lines up with the primary's; a monitor above the primary.
    const Rect primary{0, 0, 1920, 1080};
    const struct {
        const char* name;
        Rect topLeft;
        Rect expected;
    } cases[] = {
        {"primary itself", primary, {0, 0, 1920, 1080}},
        {"left, bottoms aligned", {-1512, 98, 1512, 982}, {-1512, 0, 1512, 982}},
        {"above the primary", {0, -1440, 2560, 1440}, {0, 1080, 2560, 1440}},
        {"a window near the top", {100, 0, 620, 160}, {100, 920, 620, 160}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fromTopLeftSpace(c.topLeft, primary), c.expected);
        EXPECT_EQ(toTopLeftSpace(c.expected, primary), c.topLeft);
    }
    // A primary screen that is not at Qt's origin still becomes the origin.
    EXPECT_EQ(fromTopLeftSpace({1512, -98, 1920, 1080}, {1512, -98, 1920, 1080}),
              (Rect{0, 0, 1920, 1080}));
}

TEST(GeometryTest, IntersectionNeedsSharedArea) {
    const Rect a{0, 0, 100, 100};
    EXPECT_TRUE(a.intersects({99, 99, 10, 10}));
    EXPECT_FALSE(a.intersects({100, 0, 10, 10})) << "touching edges share no area";
    EXPECT_FALSE(a.intersects({10, 10, 0, 50})) << "an empty rectangle meets nothing";
    EXPECT_EQ(a.intersectionArea({50, 50, 100, 100}), 2500);
}

}  // namespace
}  // namespace vorela
