#include <gtest/gtest.h>

#include "App/GlobalShortcuts.h"
#include "AppStateEnvironment.h"
#include "Shortcuts/ShortcutsEnvironment.h"
#include "Support/FakePanelController.h"

namespace vorela::testing {
namespace {

using Shortcuts::Key;
using Shortcuts::ModifierFlags;
using Shortcuts::Shortcut;

class GlobalShortcutsTest : public AppStateTest {
protected:
    AppState& start() {
        AppState& state = makeState();
        state.load(numberedWords(40), "prueba");
        shared_ = std::shared_ptr<AppState>(&state, [](AppState*) {});
        GlobalShortcuts::registerShortcuts(*keys_.context, shared_, panel_);
        return state;
    }
    void press(Key key) { keys_.tap(Shortcut(key, ModifierFlags::option)); }

    Shortcuts::ShortcutsEnvironment keys_;
    std::shared_ptr<AppState> shared_;
    std::shared_ptr<FakePanelController> panel_ = std::make_shared<FakePanelController>();
};

TEST_F(GlobalShortcutsTest, SevenAltDefaultsAreStoredAndGrabbed) {
    start();
    const std::pair<Shortcuts::Name, Key> expected[] = {
        {GlobalShortcuts::togglePlay(), Key::space},
        {GlobalShortcuts::faster(), Key::rightArrow},
        {GlobalShortcuts::slower(), Key::leftArrow},
        {GlobalShortcuts::restart(), Key::r},
        {GlobalShortcuts::togglePanel(), Key::p},
        {GlobalShortcuts::previousBookmark(), Key::upArrow},
        {GlobalShortcuts::nextBookmark(), Key::downArrow},
    };
    for (const auto& [name, key] : expected) {
        SCOPED_TRACE(name.rawValue());
        const Shortcut alt(key, ModifierFlags::option);
        EXPECT_EQ(name.shortcut(), alt);
        EXPECT_EQ(alt.carbonModifiers, 2048);
        EXPECT_TRUE(keys_.isRegistered(alt));
    }
    EXPECT_EQ(keys_.registrar.registrationCount(), 7u);
}

TEST_F(GlobalShortcutsTest, RateShortcutsStepByTenAndStopAtTheBounds) {
    AppState& state = start();
    struct Case {
        const char* name;
        double before;
        Key key;
        double after;
    };
    const Case cases[] = {
        {"faster", 140, Key::rightArrow, 150},
        {"faster at 260 stays", 260, Key::rightArrow, 260},
        {"faster near the top", 255, Key::rightArrow, 260},
        {"slower", 140, Key::leftArrow, 130},
        {"slower at 60 stays", 60, Key::leftArrow, 60},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        state.setWpm(c.before);
        press(c.key);
        EXPECT_EQ(state.wpm.get(), c.after);
    }
}

TEST_F(GlobalShortcutsTest, PlayPauseTogglesWithoutShowingThePanelAndPanelKeyToggles) {
    AppState& state = start();
    press(Key::space);
    EXPECT_EQ(state.playback.get(), PlaybackState::playing);
    press(Key::space);
    EXPECT_EQ(state.playback.get(), PlaybackState::paused);
    press(Key::space);
    EXPECT_EQ(state.playback.get(), PlaybackState::playing);
    EXPECT_FALSE(panel_->isVisible());
    press(Key::p);
    EXPECT_TRUE(panel_->isVisible());
    press(Key::p);
    EXPECT_FALSE(panel_->isVisible());
}

TEST_F(GlobalShortcutsTest, HandlersDoNothingOnceTheirTargetsAreGone) {
    start();
    shared_.reset();
    panel_.reset();
    press(Key::space);
    press(Key::p);
    EXPECT_EQ(state_->playback.get(), PlaybackState::stopped);
}

TEST_F(GlobalShortcutsTest, UserChoicesSurviveTheNextStart) {
    start();
    const Shortcut ctrlF9(Key::f9, ModifierFlags::control);
    GlobalShortcuts::faster().setShortcut(ctrlF9);
    GlobalShortcuts::togglePlay().setShortcut(std::nullopt);  // removed by the user

    keys_.restart();
    start();
    EXPECT_EQ(GlobalShortcuts::faster().shortcut(), ctrlF9);
    EXPECT_EQ(GlobalShortcuts::togglePlay().shortcut(), std::nullopt);
    EXPECT_FALSE(keys_.isRegistered(Shortcut(Key::space, ModifierFlags::option)));
    press(Key::space);
    EXPECT_EQ(state_->playback.get(), PlaybackState::stopped);
    state_->setWpm(140);
    keys_.tap(ctrlF9);
    EXPECT_EQ(state_->wpm.get(), 150);
}

}  // namespace
}  // namespace vorela::testing
