#include <gtest/gtest.h>

#include <QWidget>
#include <memory>

#include "../ShortcutsEnvironment.h"
#include "Shortcuts/Qt/ShortcutEventBinding.h"
#include "Support/QtTestApp.h"

namespace vorela::Shortcuts {
namespace {

class ShortcutEventBindingTest : public ::testing::Test {
protected:
    void SetUp() override { testing::qtTestApp(); }

    void tapRestart() {
        env_.tap(kOptionR);
        env_.loop.runUntilIdle();
    }

    ShortcutsEnvironment env_;
    const Name restart_ = Name::declare("restart", kOptionR);
};

TEST_F(ShortcutEventBindingTest, AShownWidgetHearsEveryPressAndReleaseInOrder) {
    auto widget = std::make_unique<QWidget>();
    std::vector<EventType> heard;
    onGlobalKeyboardShortcut(*env_.context, *widget, restart_,
                             [&](EventType event) { heard.push_back(event); });
    tapRestart();
    EXPECT_TRUE(heard.empty()) << "not on the screen yet";
    EXPECT_FALSE(env_.isRegistered(kOptionR));

    widget->show();
    EXPECT_TRUE(env_.isRegistered(kOptionR));
    tapRestart();
    tapRestart();
    EXPECT_EQ(heard, (std::vector<EventType>{EventType::keyDown, EventType::keyUp,
                                             EventType::keyDown, EventType::keyUp}));

    widget->hide();
    env_.loop.runUntilIdle();
    EXPECT_FALSE(env_.isRegistered(kOptionR));
    tapRestart();
    EXPECT_EQ(heard.size(), 4u) << "taken off the screen";
    widget->show();
    tapRestart();
    EXPECT_EQ(heard.size(), 6u) << "back on the screen";

    widget.reset();
    env_.loop.runUntilIdle();
    EXPECT_FALSE(env_.isRegistered(kOptionR)) << "the binding went with the widget";
    tapRestart();
    EXPECT_EQ(heard.size(), 6u);
}

TEST_F(ShortcutEventBindingTest, ABindingToOneKindOfEventHearsOnlyThatKindAndFollowsRebinding) {
    QWidget window;
    auto* child = new QWidget(&window);
    int releases = 0;
    int presses = 0;
    onGlobalKeyboardShortcut(*env_.context, *child, restart_, EventType::keyUp,
                             [&] { ++releases; });
    onKeyboardShortcut(*env_.context, *child, restart_, EventType::keyDown, [&] { ++presses; });
    window.show();  // a child comes on the screen with its window
    tapRestart();
    EXPECT_EQ(releases, 1);
    EXPECT_EQ(presses, 1);

    setShortcut(kOptionP, restart_);
    tapRestart();
    EXPECT_EQ(releases, 1) << "the old keys do nothing";
    env_.tap(kOptionP);
    env_.loop.runUntilIdle();
    EXPECT_EQ(releases, 2);
    EXPECT_EQ(presses, 2);

    window.hide();  // and goes with it
    env_.tap(kOptionP);
    env_.loop.runUntilIdle();
    EXPECT_EQ(releases, 2);
}

}  // namespace
}  // namespace vorela::Shortcuts
