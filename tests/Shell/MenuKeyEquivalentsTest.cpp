#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include "Shell/MenuKeyEquivalents.h"
#include "Shortcuts/KeyEquivalent.h"
#include "Shortcuts/ShortcutsEnvironment.h"
#include "Support/QtTestApp.h"

namespace vorela {
namespace {

using Shortcuts::EventModifiers;

MenuItem item(const char* action, char32_t key, EventModifiers modifiers) {
    MenuItem made = MenuItem::make(MenuItem::Kind::action, action, action);
    made.keyEquivalent = Shortcuts::KeyboardShortcut{Shortcuts::KeyEquivalent{key}, modifiers};
    return made;
}

// The tray menu showed Ctrl+0, Ctrl+, and Ctrl+Q, and pressing them did nothing: a tray
// menu is no menu bar. They now act while one of our windows is active.
TEST(MenuKeyEquivalentsTest, TheMenusOwnKeysActWhileOurWindowIsActive) {
    QApplication& app = testing::qtTestApp();
    MenuItem disabled = item("paste", U'v', EventModifiers::control);
    disabled.isEnabled = false;
    MenuItem rebound = item("restart", U'k', EventModifiers::control);
    rebound.boundName = "restart";  // a global shortcut's keys are its own
    std::vector<MenuItem> menu{
        item("togglePanel", U'p', EventModifiers::option),
        item("mainWindow", U'0', EventModifiers::control),
        item("preferences", U',', EventModifiers::control),
        item("quit", U'q', EventModifiers::control),
        disabled,
        rebound,
    };
    std::vector<std::string> performed;
    Shortcuts::ShortcutsEnvironment shortcuts;
    MenuKeyEquivalents keys(
        app, *shortcuts.context, [&] { return menu; },
        [&](const std::string& action) { performed.push_back(action); });
    QWidget window;
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
    QTest::keyClick(&window, Qt::Key_Comma, Qt::ControlModifier);
    QTest::keyClick(&window, Qt::Key_0, Qt::ControlModifier);
    QTest::keyClick(&window, Qt::Key_P, Qt::AltModifier);      // the global shortcut's
    QTest::keyClick(&window, Qt::Key_V, Qt::ControlModifier);  // disabled
    QTest::keyClick(&window, Qt::Key_K, Qt::ControlModifier);  // a global shortcut's
    QTest::keyClick(&window, Qt::Key_Q);                       // no modifier
    EXPECT_EQ(performed, (std::vector<std::string>{"quit", "preferences", "mainWindow"}));

    const Subscription recording = shortcuts.registry().pause();  // a recorder records
    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(performed.size(), 3u) << "the recorder's key";
}

}  // namespace
}  // namespace vorela
