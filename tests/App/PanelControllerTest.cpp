#include "App/AppStateEnvironment.h"
#include "App/PanelController.h"
#include "Platform/Input/Fake/FakeInput.h"
#include "Platform/Screens/Fake/FakeScreens.h"
#include "Platform/Windows/Fake/FakePanelWindow.h"
#include "Window/PanelPlacement.h"

namespace vorela {
namespace {

namespace Keys = Prefs::Keys;

// The controller over a fake window system: screens laid out by the test, a fake panel,
// a fake keyboard and the virtual clock.
class PanelControllerTest : public testing::AppStateTest {
protected:
    PanelController& makeController() {
        AppState& state = makeState();
        controller_ = std::make_unique<PanelController>(
            PanelController::Services{state, loop_, screens_, input_, windows_});
        return *controller_;
    }
    FakePanelWindow& panel() { return *windows_.last(); }

    // A plain 1440 x 900 screen left of a 1920 x 1080 one.
    static std::vector<Screen> twoScreens() {
        return {FakeScreens::makeScreen("Interna", {0, 0, 1440, 900}, "1"),
                FakeScreens::makeScreen("Externa", {1440, 0, 1920, 1080}, "2")};
    }

    FakeScreens screens_;
    FakeInput input_;
    FakePanelWindowFactory windows_;
    std::unique_ptr<PanelController> controller_;
};

TEST_F(PanelControllerTest, ShowingTwiceMakesOnePanelAndHidingFirstOnlyClearsVisibility) {
    screens_.setScreens(twoScreens());
    PanelController& controller = makeController();
    controller.hide();
    EXPECT_FALSE(controller.isVisible.get());
    EXPECT_EQ(windows_.madeCount(), 0);

    controller.show();
    controller.show();
    EXPECT_EQ(windows_.madeCount(), 1);
    EXPECT_TRUE(panel().isShown());
    EXPECT_TRUE(controller.isVisible.get());
    controller.toggle();
    EXPECT_FALSE(panel().isShown());
    EXPECT_FALSE(controller.isVisible.get());

    // A voice mode asks for the panel through the central state.
    controller.hide();
    state_->setMode(PrompterMode::voiceActivated);
    EXPECT_TRUE(controller.isVisible.get());
    EXPECT_EQ(windows_.madeCount(), 1);
}

TEST_F(PanelControllerTest, APanelTheWindowManagerClosedIsHiddenAndTheNextToggleShowsIt) {
    // The window manager closed the panel while the controller still held it visible:
    // the first toggle only hid what was already gone, so the user's key did nothing.
    screens_.setScreens(twoScreens());
    PanelController& controller = makeController();
    controller.show();
    panel().closeByWindowManager();
    EXPECT_FALSE(controller.isVisible.get());

    controller.toggle();
    EXPECT_TRUE(panel().isShown());
    EXPECT_TRUE(controller.isVisible.get());
    EXPECT_EQ(windows_.madeCount(), 1) << "the same panel comes back";
}

TEST_F(PanelControllerTest, PlacementsMirrorIntoTheStateAndFixTheirBehaviour) {
    screens_.setScreens({FakeScreens::makeNotchedScreen("Notch", {0, 0, 1512, 982}, 200, 32, "1"),
                         FakeScreens::makeScreen("Plana", {1512, 0, 1920, 1080}, "2")});
    PanelController& controller = makeController();
    controller.show();
    EXPECT_TRUE(controller.hasNotchOnCurrentScreen.get());
    EXPECT_EQ(panel().frame(), (Rect{446, 790, 620, 192})) << "hangs from the top edge";
    EXPECT_EQ(state_->panelMode.get(), PanelMode::notch);
    EXPECT_EQ(state_->notchHeight.get(), 32);
    EXPECT_FALSE(panel().behavior().isResizable);

    controller.moveToScreen("2");
    EXPECT_TRUE(controller.didFallBackToFloating.get());
    EXPECT_FALSE(controller.hasNotchOnCurrentScreen.get());
    EXPECT_EQ(state_->panelMode.get(), PanelMode::floating);
    EXPECT_EQ(state_->notchHeight.get(), 0);
    EXPECT_EQ(panel().frame(), (Rect{2162, 895, 620, 160})) << "centred under the top bar";
    EXPECT_EQ(panel().behavior(), (PanelWindowBehavior{true, true, {280, 90}, {1200, 500}}));
    EXPECT_EQ(Prefs::get(Keys::panelGeometryByScreen()).at("2").mode, "notch")
        << "the placement moved the floating panel, which counts as a move";
}

TEST_F(PanelControllerTest, FullScreenAndBackRestoresTheSavedFloatingFrame) {
    Prefs::set(Keys::panelMode(), PanelMode::floating);
    screens_.setScreens(twoScreens());
    PanelController& controller = makeController();
    controller.show();
    const Rect moved{300, 200, 500, 150};
    panel().userMoves(moved);
    EXPECT_EQ(Prefs::get(Keys::panelGeometryByScreen()).at("1").rect(), moved);
    EXPECT_EQ(Prefs::get(Keys::panelWidth()), 500);

    controller.setMode(PanelMode::fullscreen);
    EXPECT_EQ(panel().frame(), (Rect{0, 0, 1440, 900})) << "the whole screen, top bar included";
    EXPECT_FALSE(panel().behavior().isResizable);
    panel().userMoves({10, 10, 1440, 900});
    EXPECT_EQ(Prefs::get(Keys::panelGeometryByScreen()).at("1").rect(), moved)
        << "moves in the full-screen placement save nothing";

    controller.setMode(PanelMode::floating);
    EXPECT_EQ(panel().frame(), moved);
    EXPECT_TRUE(panel().behavior().isMovableByBackground);
}

TEST_F(PanelControllerTest, SizesSetByHandResizeADraggedFloatingFrameFromItsTopLeft) {
    // Once the floating panel had been dragged, the width and height sliders did nothing:
    // its saved frame, size included, decides the floating placement.
    Prefs::set(Keys::panelMode(), PanelMode::floating);
    screens_.setScreens(twoScreens());
    PanelController& controller = makeController();
    controller.show();
    panel().userMoves({300, 200, 500, 150});

    controller.setWidth(700);
    EXPECT_EQ(panel().frame(), (Rect{300, 200, 700, 150}));
    controller.setHeight(250);
    EXPECT_EQ(panel().frame(), (Rect{300, 100, 700, 250})) << "the top edge stays";
    controller.setWidth(5000);
    EXPECT_EQ(panel().frame().width, 1200) << "clamped like any size";
    EXPECT_EQ(Prefs::get(Keys::panelGeometryByScreen()).at("1").rect(),
              (Rect{300, 100, 1200, 250}));
    EXPECT_EQ(Prefs::get(Keys::panelWidth()), 1200);

    // The fixed placements keep their own sizes and leave the saved frame alone.
    controller.setMode(PanelMode::fullscreen);
    controller.setWidth(400);
    EXPECT_EQ(Prefs::get(Keys::panelGeometryByScreen()).at("1").rect(),
              (Rect{300, 100, 1200, 250}));
}

TEST_F(PanelControllerTest, SizesSetByHandOnTheNotchRectangleKeepTheStripOnTop) {
    // A floating panel on a notched screen sits on the notch rectangle. Its resized frame
    // left the strip out and saving took it off again: each change lost 32 points.
    Prefs::set(Keys::panelMode(), PanelMode::floating);
    screens_.setScreens({FakeScreens::makeNotchedScreen("Notch", {0, 0, 1512, 982}, 200, 32)});
    PanelController& controller = makeController();
    controller.show();
    EXPECT_EQ(panel().frame(), (Rect{446, 790, 620, 192}));

    controller.setHeight(600);
    EXPECT_EQ(Prefs::get(Keys::panelHeight()), 500) << "clamped and stored";
    EXPECT_EQ(panel().frame(), (Rect{446, 450, 620, 532})) << "hangs from the top edge";
    for (int change = 0; change < 3; ++change) controller.setHeight(300);
    EXPECT_EQ(Prefs::get(Keys::panelHeight()), 300);
    EXPECT_EQ(panel().frame(), (Rect{446, 650, 620, 332}));
    controller.setWidth(700);
    EXPECT_EQ(Prefs::get(Keys::panelHeight()), 300);
    EXPECT_EQ(panel().frame(), (Rect{446, 650, 700, 332})) << "the top-left corner stays";
}

TEST_F(PanelControllerTest, ScreensUnpluggedAndPluggedBackMoveThePanel) {
    Prefs::set(Keys::panelMode(), PanelMode::fullscreen);
    screens_.setScreens(twoScreens());
    PanelController& controller = makeController();
    int refreshes = 0;
    auto watching = controller.observeAvailableScreens([&] { ++refreshes; });
    controller.show();
    controller.moveToScreen("2");
    EXPECT_EQ(panel().frame(), (Rect{1440, 0, 1920, 1080}));

    screens_.setScreens({twoScreens()[0]});
    EXPECT_EQ(controller.availableScreens(),
              (std::vector<PanelController::ScreenChoice>{{"1", "Interna"}}));
    EXPECT_EQ(panel().frame(), (Rect{0, 0, 1440, 900})) << "placed by the remaining rules";
    EXPECT_EQ(Prefs::get(Keys::preferredScreen()), "2") << "the choice is kept";

    // With no screen at all nothing can be placed: the last frame stays.
    screens_.setScreens({});
    EXPECT_TRUE(controller.availableScreens().empty());
    EXPECT_EQ(panel().frame(), (Rect{0, 0, 1440, 900}));
    controller.show();
    EXPECT_EQ(panel().frame(), (Rect{0, 0, 1440, 900}));

    screens_.setScreens(twoScreens());
    EXPECT_EQ(panel().frame(), (Rect{1440, 0, 1920, 1080})) << "back on the chosen screen";
    EXPECT_EQ(refreshes, 3);
}

TEST_F(PanelControllerTest, WithoutAnyScreenThePanelIsStillMadeAndShown) {
    PanelController& controller = makeController();
    controller.show();
    EXPECT_EQ(panel().frame(), (Rect{0, 0, 620, 160}));
    EXPECT_TRUE(controller.isVisible.get());
}

TEST_F(PanelControllerTest, SizesAreClampedByTheConfiguredMode) {
    screens_.setScreens({FakeScreens::makeNotchedScreen("Notch", {0, 0, 1512, 982}, 200, 32)});
    PanelController& controller = makeController();
    controller.show();
    controller.setWidth(300);
    EXPECT_EQ(Prefs::get(Keys::panelWidth()), 420) << "the notch placement is at least 420 wide";
    controller.setHeight(1000);
    EXPECT_EQ(Prefs::get(Keys::panelHeight()), 320);
    EXPECT_EQ(panel().frame().size(), (Size{420, 352})) << "the notch strip on top";
}

TEST_F(PanelControllerTest, ClickThroughFollowsTheAltKeyWithinOneTick) {
    screens_.setScreens(twoScreens());
    PanelController& controller = makeController();
    controller.show();
    EXPECT_FALSE(controller.isPollingOptionKey());

    Prefs::set(Keys::passThrough(), true);
    controller.applyPassThrough();
    EXPECT_TRUE(panel().ignoresMouseEvents());
    EXPECT_TRUE(state_->isPassThroughActive.get());
    EXPECT_TRUE(controller.isPollingOptionKey());

    input_.setOptionKeyHeld(true);
    loop_.advanceBy(0.119);
    EXPECT_TRUE(panel().ignoresMouseEvents()) << "not before the tick";
    loop_.advanceBy(0.001);
    EXPECT_FALSE(panel().ignoresMouseEvents()) << "holding Alt makes the panel clickable";
    EXPECT_FALSE(state_->isPassThroughActive.get());
    input_.setOptionKeyHeld(false);
    loop_.advanceBy(0.12);
    EXPECT_TRUE(panel().ignoresMouseEvents());
    EXPECT_TRUE(state_->isPassThroughActive.get());

    Prefs::set(Keys::passThrough(), false);
    controller.applyPassThrough();
    EXPECT_FALSE(panel().ignoresMouseEvents());
    EXPECT_FALSE(state_->isPassThroughActive.get());
    EXPECT_FALSE(controller.isPollingOptionKey());
    EXPECT_EQ(loop_.pendingTaskCount(), 0u) << "no timer left behind";
}

TEST_F(PanelControllerTest, APreferenceSwitchedOffElsewhereStopsThePollingAtTheNextTick) {
    screens_.setScreens(twoScreens());
    PanelController& controller = makeController();
    Prefs::set(Keys::passThrough(), true);
    controller.show();
    EXPECT_TRUE(controller.isPollingOptionKey());
    Prefs::set(Keys::passThrough(), false);
    loop_.advanceBy(0.12);
    EXPECT_FALSE(controller.isPollingOptionKey());
    EXPECT_FALSE(panel().ignoresMouseEvents());
}

TEST_F(PanelControllerTest, AControllerGoneLeavesNoCallbackBehind) {
    screens_.setScreens(twoScreens());
    PanelController& controller = makeController();
    Prefs::set(Keys::passThrough(), true);
    controller.show();
    controller_.reset();
    screens_.setScreens({});
    loop_.advanceBy(1);
    state_->setMode(PrompterMode::voiceActivated);  // would have asked the controller
    SUCCEED();
}

}  // namespace
}  // namespace vorela
