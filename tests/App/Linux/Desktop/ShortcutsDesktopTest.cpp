#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QTest>
#include <string>

#include "App/Linux/Desktop/VorelaDesktopFixture.h"

namespace vorela::testing {
namespace {

// A stock desktop: openbox holds Alt+Space for its window menu while the test runs.
class ShortcutsDesktopTest : public VorelaDesktopTest {
protected:
    void SetUp() override {
        VorelaDesktopTest::SetUp();
        if (!IsSkipped()) desktop_.setWindowManagerKeys({"A-space"});
    }
    void TearDown() override {
        if (desktop_.isReady()) desktop_.setWindowManagerKeys({});
    }

    static void key(const std::string& keys) {
        run({"xdotool", "key", "--delay", "80", keys});
        QTest::qWait(300);
    }
    // Opens "Preferencias…" from the tray menu and shows its "Atajos" tab.
    std::optional<QRect> openShortcutsTab(const VorelaProcess& vorela) {
        if (!openTrayMenu(vorela)) return std::nullopt;
        desktop_.screenshot("desktop-tray-menu-keys");
        // Up from no item is the last, "Salir"; then "Acerca de Vorela", "Preferencias…".
        run({"xdotool", "key", "--delay", "100", "Up", "Up", "Up"});
        key("Return");
        std::optional<QRect> window;
        for (int i = 0; i < 100 && !window; ++i, QTest::qWait(50))
            window = desktop_.windowOfType("NORMAL", "Preferencias");
        if (!window) return std::nullopt;
        QTest::qWait(500);
        for (int i = 0; i < 3; ++i) key("ctrl+Tab");
        return window;
    }
};

TEST_F(ShortcutsDesktopTest, ARefusedDefaultShowsAsTakenAndAFreeKeyWorksAtOnce) {
    // Under a stock openbox the X server refused Alt+Space, and the Shortcuts tab still
    // promised it: a key that does nothing was shown as working.
    VorelaProcess vorela(kQuietLaunch);
    const auto window = openShortcutsTab(vorela);
    ASSERT_TRUE(window) << vorela.log();
    const QImage taken = desktop_.screenshot("desktop-shortcuts-refused-default");

    // Tab reaches the first recorder, "Reproducir o pausar", which records the next keys.
    key("Tab");
    key("alt+s");
    QTest::qWait(300);
    const QImage rebound = desktop_.screenshot("desktop-shortcuts-rebound");
    // The note under the row is gone, so every row below moves up: far more changes than
    // the recorder's own text.
    EXPECT_GT(differingPixels(taken, rebound, *window), 8000) << vorela.log();

    // The new key works at once, from anywhere: it starts the scrolling.
    ASSERT_EQ(vorela.startAgain({longScriptLink(120)}), 0);
    const auto panel = waitForPanel();
    ASSERT_TRUE(panel) << vorela.log();
    QTest::qWait(700);
    const QImage still = desktop_.screenshot("desktop-rebound-key-before");
    key("alt+s");
    QTest::qWait(2000);
    EXPECT_GT(differingPixels(still, desktop_.screenshot("desktop-rebound-key-playing"), *panel),
              100)
        << vorela.log();
}

// Dark pixels (text) in the part of the tray menu's first item where its key shows.
int keyInkOfFirstItem(const QImage& shot, const QRect& icon) {
    const QPoint at = icon.center();
    int ink = 0;
    for (int y = at.y() + 2; y <= at.y() + 20; ++y)
        for (int x = at.x() - 60; x <= at.x() + 8; ++x)
            ink += shot.valid(x, y) && QColor(shot.pixel(x, y)).lightness() < 100;
    return ink;
}

TEST_F(ShortcutsDesktopTest, TheTrayShowsThePanelsKeyOnlyWhileItWorks) {
    // The tray's first item showed a fixed Alt+P, also when the desktop held those keys
    // and the X server had refused them to us.
    int free = 0;
    int held = 0;
    for (const bool isHeld : {false, true}) {
        SCOPED_TRACE(isHeld);
        if (isHeld) desktop_.setWindowManagerKeys({"A-space", "A-p"});
        VorelaProcess vorela(kQuietLaunch);
        const auto icon = vorela.waitForTrayIcon();
        ASSERT_TRUE(icon && openTrayMenu(vorela)) << vorela.log();
        const QImage shot =
            desktop_.screenshot(isHeld ? "desktop-tray-key-held" : "desktop-tray-key-free");
        (isHeld ? held : free) = keyInkOfFirstItem(shot, *icon);
        key("Escape");
    }
    EXPECT_GT(free, 20) << "Alt+P beside the item";
    EXPECT_EQ(held, 0) << "no key beside the item";
}

TEST_F(ShortcutsDesktopTest, RecordingAKeyOfTheMenusRaisesTheAlert) {
    // Recording Ctrl+Q stored it silently, although the tray menu shows Ctrl+Q for "Salir".
    VorelaProcess vorela(kQuietLaunch);
    const auto window = openShortcutsTab(vorela);
    ASSERT_TRUE(window) << vorela.log();
    key("Tab");
    key("ctrl+q");
    std::optional<QRect> alert;
    for (int i = 0; i < 60 && !alert; ++i, QTest::qWait(50))
        alert = desktop_.windowOfType("DIALOG");
    ASSERT_TRUE(alert) << vorela.log();
    desktop_.screenshot("desktop-recording-ctrl-q-alert");
    EXPECT_TRUE(vorela.isRunning()) << "Ctrl+Q was recorded, not performed";
    key("Return");
    EXPECT_FALSE(desktop_.windowOfType("DIALOG"));
}

}  // namespace
}  // namespace vorela::testing
