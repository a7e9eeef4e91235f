#include <gtest/gtest.h>

#include <QAction>

#include "../ShortcutsEnvironment.h"
#include "Shortcuts/Qt/ActionShortcutBinding.h"
#include "Shortcuts/RecorderStatus.h"
#include "Support/QtTestApp.h"

namespace vorela::Shortcuts {
namespace {

class ActionShortcutBindingTest : public ::testing::Test {
protected:
    void SetUp() override { testing::qtTestApp(); }

    ShortcutsEnvironment env_;
    const QKeySequence ctrlS_{Qt::CTRL | Qt::Key_S};
};

TEST_F(ActionShortcutBindingTest, ABoundActionFollowsItsNameAndGetsItsOwnKeysBack) {
    const Name panel("togglePanel");
    QAction action("Mostrar panel");
    action.setShortcut(ctrlS_);
    setShortcut(*env_.context, action, std::optional<Name>(panel));
    EXPECT_EQ(action.shortcut(), ctrlS_);  // nothing stored: its own keys
    EXPECT_EQ(boundName(action), "togglePanel");
    setShortcut(kOptionP, panel);
    EXPECT_EQ(action.shortcut(), QKeySequence(Qt::ALT | Qt::Key_P));
    setShortcut(Shortcut(Key::keypad5, ModifierFlags::option), panel);
    EXPECT_TRUE(action.shortcut().isEmpty());  // keypad keys have no menu equivalent
    setShortcut(std::nullopt, panel);
    EXPECT_EQ(action.shortcut(), ctrlS_);
    setShortcut(*env_.context, action, std::optional<Name>());
    EXPECT_EQ(action.shortcut(), ctrlS_);
    EXPECT_FALSE(boundName(action));
}

TEST_F(ActionShortcutBindingTest, RebindingKeepsTheFirstKeysAndOtherNamesLeaveItAlone) {
    const Name a("a");
    const Name b("b");
    setShortcut(kOptionR, a);
    setShortcut(kOptionP, b);
    QAction action("x");
    action.setShortcut(ctrlS_);
    setShortcut(*env_.context, action, std::optional<Name>(a));
    setShortcut(*env_.context, action, std::optional<Name>(b));
    EXPECT_EQ(action.shortcut(), QKeySequence(Qt::ALT | Qt::Key_P));
    setShortcut(kOptionSpace, a);  // another name's change
    EXPECT_EQ(action.shortcut(), QKeySequence(Qt::ALT | Qt::Key_P));
    setShortcut(*env_.context, action, std::optional<Name>());
    EXPECT_EQ(action.shortcut(), ctrlS_);

    setShortcut(*env_.context, action, std::optional<Name>(a));
    setShortcut(*env_.context, action, std::optional<Shortcut>());
    EXPECT_TRUE(action.shortcut().isEmpty());
    EXPECT_FALSE(boundName(action));
    setShortcut(kOptionR, a);
    EXPECT_TRUE(action.shortcut().isEmpty());
}

TEST_F(ActionShortcutBindingTest, AnInWindowShortcutIsOffWhileARecorderRecords) {
    const Name play = Name::declare("togglePlay", kOptionSpace);
    QAction action("Reproducir");
    globalKeyboardShortcut(*env_.context, action, play);
    EXPECT_EQ(action.shortcut(), QKeySequence(Qt::ALT | Qt::Key_Space));
    env_.notifications.post(kRecorderActiveStatusDidChange, {{"isActive", std::any(true)}});
    EXPECT_TRUE(action.shortcut().isEmpty());
    setShortcut(kOptionR, play);
    env_.notifications.post(kRecorderActiveStatusDidChange, {{"isActive", std::any(false)}});
    EXPECT_EQ(action.shortcut(), QKeySequence(Qt::ALT | Qt::Key_R));
}

}  // namespace
}  // namespace vorela::Shortcuts
