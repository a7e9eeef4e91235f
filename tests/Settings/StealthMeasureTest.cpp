#include <gtest/gtest.h>

#include "Platform/Screens/Fake/FakeScreens.h"
#include "Settings/StealthMeasure.h"

namespace vorela {
namespace {

TEST(StealthMeasureTest, ThePanelFrameMapsOntoTheScreenshotsPixels) {
    struct Case {
        const char* name;
        Rect panel;
        Rect screen;
        int widthPixels, heightPixels;
        PixelRect expected;
    } cases[] = {
        {"1x, top-left origin",
         {100, 650, 400, 100},
         {0, 0, 1000, 800},
         1000,
         800,
         {100, 50, 400, 100}},
        {"2x", {100, 650, 400, 100}, {0, 0, 1000, 800}, 2000, 1600, {200, 100, 800, 200}},
        // A screen right of the primary one, lower down: its own corner is the origin.
        {"second screen",
         {1100, 300, 200, 50},
         {1000, -200, 800, 600},
         800,
         600,
         {100, 50, 200, 50}},
        {"halves round away from zero",
         {0.25, 0, 0.75, 0.25},
         {0, 0, 10, 10},
         20,
         20,
         {1, 20, 2, 1}},
        {"a panel off the screen keeps its place",
         {-300, 0, 100, 10},
         {0, 0, 100, 100},
         100,
         100,
         {-300, 90, 100, 10}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(StealthMeasure::panelRegion(c.panel, c.screen, c.widthPixels, c.heightPixels),
                  c.expected);
    }
}

TEST(StealthMeasureTest, PatternRatioSamplesEveryFourthPixel) {
    constexpr std::uint32_t kMagenta = 0xFF00FF;
    auto image = CapturedImage::filled(8, 8, 0x000000);
    image.fill({0, 0, 8, 4}, kMagenta);  // the top half
    // Samples run across row ends: 13 of the 25 samples of a 10 × 10 image fall in its top
    // half.
    auto unaligned = CapturedImage::filled(10, 10, 0x000000);
    unaligned.fill({0, 0, 10, 5}, kMagenta);
    auto nearMagenta = CapturedImage::filled(4, 4, 0xC94FC9);  // 201, 79, 201: still a match
    auto offMagenta = CapturedImage::filled(4, 4, 0xC850C9);   // 200, 80, 201: not
    // Pixels 0 and 4 of a 5-pixel cut are sampled; the denominator is 5 / 4 = 1.
    auto five = CapturedImage::filled(5, 1, kMagenta);
    // A capture whose buffer is shorter than its size says must not be read past its end.
    auto truncated = CapturedImage::filled(8, 8, kMagenta);
    truncated.rgba.resize(8 * 4 * 4);
    struct Case {
        const char* name;
        const CapturedImage& image;
        PixelRect region;
        double ratio;
    } cases[] = {
        {"whole image, half magenta", image, {0, 0, 8, 8}, 0.5},
        {"only the magenta half", image, {0, 0, 8, 4}, 1},
        {"clipped to the image", image, {-10, -10, 18, 14}, 1},
        {"samples across row ends", unaligned, {0, 0, 10, 10}, 0.52},
        {"outside the image", image, {20, 20, 5, 5}, 0},
        {"fewer than four pixels", image, {0, 0, 3, 1}, 0},
        {"five pixels, two samples, both match", five, {0, 0, 5, 1}, 2},
        {"the threshold colour matches", nearMagenta, {0, 0, 4, 4}, 1},
        {"just past the threshold", offMagenta, {0, 0, 4, 4}, 0},
        {"a buffer shorter than its size", truncated, {0, 0, 8, 8}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_DOUBLE_EQ(StealthMeasure::patternRatio(c.image, c.region), c.ratio);
    }
}

TEST(StealthMeasureTest, ThePanelsScreenHoldsMostOfIt) {
    const std::vector<Screen> screens{
        FakeScreens::makeScreen("A", {0, 0, 1000, 800}, std::string("A")),
        FakeScreens::makeScreen("B", {1000, 0, 1000, 800}, std::string("B"))};
    EXPECT_EQ(StealthMeasure::screenOf({900, 0, 300, 100}, screens)->localizedName, "B");
    EXPECT_EQ(StealthMeasure::screenOf({800, 0, 300, 100}, screens)->localizedName, "A");
    EXPECT_FALSE(StealthMeasure::screenOf({5000, 0, 10, 10}, screens));
}

}  // namespace
}  // namespace vorela
