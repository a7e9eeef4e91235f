#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Log/Log.h"
#include "Platform/Screens/Fake/FakeScreens.h"
#include "Prefs/Prefs.h"
#include "Support/RecordingLogSink.h"
#include "Window/PanelPlacement.h"

namespace vorela {
namespace {

using PanelPlacement::Request;

// A 1512 x 982 laptop panel with a 200 x 32 camera notch, and a plain 1920 x 1080 monitor.
const Screen kLaptop = FakeScreens::makeNotchedScreen("Built-in", {0, 0, 1512, 982}, 200, 32, "1");
const Screen kMonitor = FakeScreens::makeScreen("HDMI-1", {1512, 0, 1920, 1080}, "2");
const std::string kFallbackLine = "panel: Pantalla sin notch: el panel pasa a modo flotante.";

class PanelPlacementTest : public ::testing::Test {
protected:
    PanelPlacementTest() : previousSink_(Log::setSink(sink_)) {}
    ~PanelPlacementTest() override { Log::setSink(previousSink_); }

    std::shared_ptr<vorela::testing::RecordingLogSink> sink_ =
        std::make_shared<vorela::testing::RecordingLogSink>();
    std::shared_ptr<LogSink> previousSink_;
};

TEST_F(PanelPlacementTest, NotchExistsOnlyWithInsetAndBothTopBarStrips) {
    Screen insetOnly = kMonitor;
    insetOnly.safeAreaTopInset = 32;
    Screen oneStrip = kLaptop;
    oneStrip.auxiliaryTopRightArea.reset();
    Screen stripsFillTheWidth = kLaptop;
    stripsFillTheWidth.auxiliaryTopLeftArea->width = 756;
    stripsFillTheWidth.auxiliaryTopRightArea->width = 756;
    Screen noInset = kLaptop;
    noInset.safeAreaTopInset = 0;
    const struct {
        const char* name;
        Screen screen;
        bool hasNotch;
    } cases[] = {
        {"notched laptop", kLaptop, true},
        {"inset without strips", insetOnly, false},
        {"one strip missing", oneStrip, false},
        {"no width left between the strips", stripsFillTheWidth, false},
        {"strips without inset", noInset, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(NotchMetrics(c.screen).hasNotch(), c.hasNotch);
    }
    EXPECT_EQ(NotchMetrics(kLaptop).notchRect, (Rect{656, 950, 200, 32}));

    // The inset alone does not make a notch: notch mode falls back and says so.
    const auto placement = PanelPlacement::place({PanelMode::notch, 620, 160, {}}, insetOnly);
    EXPECT_EQ(placement.effectiveMode, PanelMode::floating);
    EXPECT_TRUE(placement.didFallBackToFloating);
    EXPECT_EQ(placement.notchHeight, 0);
    EXPECT_EQ(sink_->lines(), std::vector<std::string>{kFallbackLine});
}

TEST_F(PanelPlacementTest, FramesOfTheThreePlacements) {
    const struct {
        const char* name;
        Request request;
        Screen screen;
        Rect frame;
        PanelMode effective;
        double notchHeight;
    } cases[] = {
        // Hangs from the top edge: 160 + 32 high, centred on the notch.
        {"notch",
         {PanelMode::notch, 620, 160, {}},
         kLaptop,
         {446, 790, 620, 192},
         PanelMode::notch,
         32},
        {"floating on a notched screen takes the notch rectangle",
         {PanelMode::floating, 620, 160, {}},
         kLaptop,
         {446, 790, 620, 192},
         PanelMode::floating,
         0},
        // Centred just under the 25 pt top bar.
        {"floating without notch",
         {PanelMode::floating, 620, 160, {}},
         kMonitor,
         {2162, 895, 620, 160},
         PanelMode::floating,
         0},
        {"fullscreen covers the top bar too",
         {PanelMode::fullscreen, 620, 160, {}},
         kMonitor,
         kMonitor.frame,
         PanelMode::fullscreen,
         0},
        // Stored 300 is below the notch minimum of 420; 1000 high is above its 320.
        {"notch clamps by its own limits",
         {PanelMode::notch, 300, 1000, {}},
         kLaptop,
         {546, 630, 420, 352},
         PanelMode::notch,
         32},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto placement = PanelPlacement::place(c.request, c.screen);
        EXPECT_EQ(placement.frame, c.frame);
        EXPECT_EQ(placement.effectiveMode, c.effective);
        EXPECT_EQ(placement.notchHeight, c.notchHeight);
        EXPECT_EQ(placement.windowLimits.has_value(), c.effective == PanelMode::floating);
    }
    EXPECT_TRUE(sink_->lines().empty());
}

TEST_F(PanelPlacementTest, FallbackStillClampsByTheConfiguredNotchLimits) {
    // Floating would allow 300 wide, but the configured mode is notch: 420 it is.
    const auto placement = PanelPlacement::place({PanelMode::notch, 300, 60, {}}, kMonitor);
    EXPECT_EQ(placement.effectiveMode, PanelMode::floating);
    EXPECT_EQ(placement.frame.size(), (Size{420, 90}));
    EXPECT_EQ(placement.windowLimits->maxWidth, 1200);

    const auto saved =
        PanelPlacement::geometryToSave(PanelMode::notch, true, {1600, 500, 300, 1000}, kMonitor);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->entry.mode, "notch");
    EXPECT_EQ(saved->panelWidth, 420);
    EXPECT_EQ(saved->panelHeight, 320);
}

TEST_F(PanelPlacementTest, HalfPointsRoundAwayFromZero) {
    // Screens left of the primary have negative x, where rounding down would be wrong.
    const Screen left = FakeScreens::makeScreen("Left", {-1001, 0, 1001, 800}, "3");
    const auto placement = PanelPlacement::place({PanelMode::floating, 600.5, 100.5, {}}, left);
    // x = -500.5 - 300.25 = -800.75; y = 775 - 100.5 = 674.5.
    EXPECT_EQ(placement.frame, (Rect{-801, 675, 601, 101}));
    EXPECT_EQ(PanelPlacement::nearest(-0.5), -1);
    EXPECT_EQ(PanelPlacement::nearest(0.5), 1);
    EXPECT_EQ(PanelPlacement::nearest(2.4999), 2);
}

TEST_F(PanelPlacementTest, ScreenChoiceOrder) {
    const Screen unnumbered = FakeScreens::makeScreen("Proyector", {-800, 0, 800, 600});
    const std::vector<Screen> all = {kMonitor, kLaptop, unnumbered};
    const struct {
        const char* name;
        std::optional<Screen> main;
        std::optional<std::string> preferred;
        PanelMode mode;
        std::optional<Rect> panelFrame;
        std::string expected;
    } cases[] = {
        {"preferred wins", kMonitor, "1", PanelMode::fullscreen, std::nullopt, "1"},
        {"preferred by shown name when unnumbered", kMonitor, "Proyector", PanelMode::notch,
         std::nullopt, "Proyector"},
        {"missing preferred falls to the notch screen", kMonitor, "9", PanelMode::notch,
         std::nullopt, "1"},
        {"missing preferred, floating: screen under the panel", kMonitor, "9", PanelMode::floating,
         Rect{-700, 100, 300, 100}, "Proyector"},
        {"panel meets no screen: main screen", kLaptop, std::nullopt, PanelMode::floating,
         Rect{9000, 9000, 10, 10}, "1"},
        {"no main screen: first screen", std::nullopt, std::nullopt, PanelMode::floating,
         std::nullopt, "2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto chosen =
            PanelPlacement::chooseScreen(all, c.main, c.preferred, c.mode, c.panelFrame);
        ASSERT_TRUE(chosen);
        EXPECT_EQ(PanelPlacement::screenIdentifier(*chosen), c.expected);
    }
    EXPECT_FALSE(PanelPlacement::chooseScreen({}, std::nullopt, "1", PanelMode::notch, {}));
}

TEST_F(PanelPlacementTest, SavedFloatingFrameIsUsedOnlyWhileItMeetsItsScreen) {
    const struct {
        const char* name;
        Rect saved;
        Rect expected;
    } cases[] = {
        {"inside", {2000, 300, 500, 200}, {2000, 300, 500, 200}},
        {"partly off screen still meets it", {3300, 900, 500, 300}, {3300, 900, 500, 300}},
        {"only touches the edge", {1012, 0, 500, 200}, {2162, 895, 620, 160}},
        {"screen rearranged away", {-3000, 300, 500, 200}, {2162, 895, 620, 160}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Request request{PanelMode::floating, 620, 160, {}};
        // Taken as stored: mode and size are not re-checked.
        request.saved["2"] = {"notch", c.saved.x, c.saved.y, c.saved.width, c.saved.height};
        request.saved["1"] = {"floating", 0, 0, 300, 100};  // another screen's entry
        EXPECT_EQ(PanelPlacement::place(request, kMonitor).frame, c.expected);
    }
}

TEST_F(PanelPlacementTest, SavingHappensOnlyForFloatingPanelsOnAScreen) {
    const Rect frame{2000, 300, 500, 200};
    EXPECT_FALSE(PanelPlacement::geometryToSave(PanelMode::notch, false, frame, kLaptop));
    EXPECT_FALSE(PanelPlacement::geometryToSave(PanelMode::fullscreen, false, frame, kMonitor));
    EXPECT_FALSE(PanelPlacement::geometryToSave(PanelMode::floating, false, frame, std::nullopt));

    const auto saved = PanelPlacement::geometryToSave(PanelMode::floating, false, frame, kMonitor);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->screenIdentifier, "2");
    EXPECT_EQ(saved->entry, (PanelGeometry{"floating", 2000, 300, 500, 200}));
    EXPECT_EQ(saved->panelWidth, 500);
    EXPECT_EQ(saved->panelHeight, 200);

    EXPECT_EQ(PanelPlacement::screenIdentifier(
                  *PanelPlacement::screenOfFrame({kLaptop, kMonitor}, {1400, 100, 300, 100})),
              "2")
        << "the panel is on the screen it shares the most area with";
}

TEST_F(PanelPlacementTest, FloatingOnANotchedScreenKeepsItsHeightAcrossCycles) {
    // The stored height used to be the whole frame height, notch strip included, so each
    // placement on the notch rectangle followed by a save grew the panel by the notch.
    // The notch placement adds the notch to the stored height, so the stored height must not
    // contain it: after any number of cycles it stays 160 and the frame stays 192 high.
    double panelHeight = 160;
    Request request{PanelMode::floating, 620, panelHeight, {}};
    for (int cycle = 0; cycle < 3; ++cycle) {
        SCOPED_TRACE(cycle);
        request.panelHeight = panelHeight;
        request.saved.clear();  // e.g. the saved frame no longer meets the rearranged screen
        const auto placement = PanelPlacement::place(request, kLaptop);
        EXPECT_EQ(placement.frame, (Rect{446, 790, 620, 192}));
        const auto saved =
            PanelPlacement::geometryToSave(PanelMode::floating, false, placement.frame, kLaptop);
        ASSERT_TRUE(saved);
        EXPECT_EQ(saved->entry.height, 192) << "the saved frame is the frame as it is";
        panelHeight = saved->panelHeight;
        EXPECT_EQ(panelHeight, 160);
    }
    // Moved down clear of the notch: the whole frame is panel.
    const auto moved =
        PanelPlacement::geometryToSave(PanelMode::floating, false, {446, 400, 620, 192}, kLaptop);
    EXPECT_EQ(moved->panelHeight, 192);
}

TEST_F(PanelPlacementTest, SavedFramesLiveInThePreferencesAsSortedJsonTextPerScreen) {
    auto defaults = UserDefaults::inMemory();
    UserDefaults::setStandard(defaults);
    const auto request = PanelPlacement::requestFromPreferences();
    EXPECT_EQ(request.configuredMode, PanelMode::notch);
    EXPECT_EQ(request.panelWidth, 620);
    EXPECT_EQ(request.panelHeight, 160);
    EXPECT_TRUE(request.saved.empty());

    defaults->set("panelMode", PropertyList("floating"));
    // Another screen's entry was damaged on disk: it alone is dropped.
    defaults->set("panelGeometryByScreen", PlistDictionary{{"9", PropertyList("{\"mode\":")}});
    PanelPlacement::save(
        *PanelPlacement::geometryToSave(PanelMode::floating, false, {446, 790, 620, 192}, kLaptop));
    const auto stored = defaults->object("panelGeometryByScreen");
    ASSERT_TRUE(stored && stored->dictionary());
    EXPECT_EQ(*stored->dictionary()->at("1").string(),
              R"({"height":192.0,"mode":"floating","width":620.0,"x":446.0,"y":790.0})");

    const auto reread = PanelPlacement::requestFromPreferences();
    EXPECT_EQ(reread.configuredMode, PanelMode::floating);
    EXPECT_EQ(reread.panelHeight, 160);
    EXPECT_EQ(reread.saved.size(), 1u);
    EXPECT_EQ(PanelPlacement::place(reread, kLaptop).frame, (Rect{446, 790, 620, 192}));
    UserDefaults::setStandard(nullptr);
}

}  // namespace
}  // namespace vorela
