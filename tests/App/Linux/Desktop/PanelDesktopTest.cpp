#include <gtest/gtest.h>

#include <QImage>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "App/Linux/Desktop/VorelaDesktopFixture.h"

namespace vorela::testing {
namespace {

constexpr const char* kFullScreenPanel =
    "<key>didFinishOnboarding</key><true/><key>openMainWindowAtLaunch</key><false/>"
    "<key>panelMode</key><string>fullscreen</string>";

// The panel and the windows around it on a desktop a new user meets.
class PanelDesktopTest : public VorelaDesktopTest {
protected:
    // Hands a long script to the running program; the panel that shows it.
    std::optional<QRect> showLongScript(const VorelaProcess& vorela) {
        if (!vorela.waitForTrayIcon()) return std::nullopt;
        if (vorela.startAgain({longScriptLink(150)}) != 0) return std::nullopt;
        return waitForPanel();
    }
};

TEST_F(PanelDesktopTest, XdgOpenHandsAPrompterLinkToTheRunningProgram) {
    // xdg-open without a desktop environment failed with "Permission denied": it takes
    // the Exec line's first word as the program, and that word was the quoted path.
    VorelaProcess vorela(kQuietLaunch);
    ASSERT_TRUE(vorela.waitForTrayIcon()) << vorela.log();
    ASSERT_EQ(run({"bash", VORELA_INSTALL_DESKTOP_FILE, VORELA_DESKTOP_FILE}), 0);
    // No desktop environment: xdg-open takes its generic path, as under openbox.
    unsetenv("XDG_CURRENT_DESKTOP");
    unsetenv("DESKTOP_SESSION");
    const std::string output = commandOutput(
        "xdg-open 'prompter://read?text=Abierto%20con%20xdg-open&title=Enlace' 2>&1; "
        "echo \"exit=$?\"");
    EXPECT_NE(output.find("exit=0"), std::string::npos) << output;
    const auto panel = waitForPanel();
    ASSERT_TRUE(panel) << output << vorela.log();
    QTest::qWait(700);
    EXPECT_GT(textPixels(desktop_.screenshot("desktop-xdg-open-link"), *panel), 300);
}

// Windows of the program from the bottom of the stack to its top, as the window manager
// stacks them.
std::vector<std::string> stackingOrder() {
    const std::string line = commandOutput("xprop -root _NET_CLIENT_LIST_STACKING");
    std::vector<std::string> ids;
    for (std::size_t at = line.find("0x"); at != std::string::npos; at = line.find("0x", at + 2))
        ids.push_back(std::to_string(std::stoul(line.substr(at), nullptr, 16)));
    return ids;
}

std::string idOfTitle(const std::string& title) {
    const std::string id = commandOutput("xdotool search --onlyvisible --name '^" + title + "$'");
    return id.substr(0, id.find('\n'));
}

TEST_F(PanelDesktopTest, AWindowTheUserOpensComesAboveTheFullScreenPanel) {
    // The main window opened under the always-on-top panel, its title bar and buttons
    // hidden: nothing put a window the user asked for above it.
    VorelaProcess vorela(kFullScreenPanel);
    const auto panel = showLongScript(vorela);
    ASSERT_TRUE(panel) << vorela.log();
    QTest::qWait(700);
    const QImage covered = desktop_.screenshot("desktop-fullscreen-panel");

    EXPECT_EQ(vorela.startAgain({}), 0) << "starting again opens the main window";
    std::optional<QRect> main;
    for (int i = 0; i < 100 && !main; ++i, QTest::qWait(50))
        main = desktop_.windowOfType("NORMAL", "Vorela");
    ASSERT_TRUE(main) << vorela.log();
    QTest::qWait(700);
    const QImage opened = desktop_.screenshot("desktop-main-window-above-panel");
    // Its title bar and content show where only the panel was.
    EXPECT_GT(differingPixels(covered, opened, *main), main->width() * main->height() / 2);
    const auto order = stackingOrder();
    const auto mainAt = std::find(order.begin(), order.end(), idOfTitle("Vorela"));
    ASSERT_NE(mainAt, order.end());
    EXPECT_EQ(mainAt, order.end() - 1) << "the main window is at the top of the stack";
}

TEST_F(PanelDesktopTest, TheFullScreenPanelsOwnMenuLeadsOutOfIt) {
    // The full-screen panel covered the tray and every window, and only Alt+P, which
    // nothing on the screen showed, could leave it.
    VorelaProcess vorela(kFullScreenPanel);
    const auto panel = showLongScript(vorela);
    ASSERT_TRUE(panel) << vorela.log();
    EXPECT_GE(panel->width(), 1280) << "the whole screen";
    QTest::qWait(700);
    const QImage before = desktop_.screenshot("desktop-fullscreen-before-menu");

    run({"xdotool", "mousemove", "400", "500", "click", "3"});
    QTest::qWait(700);
    const QImage menu = desktop_.screenshot("desktop-fullscreen-panel-menu");
    // The menu drops from the pointer, down or up as it fits: a light block on the panel.
    int light = 0;
    for (int y = 100; y < 800; ++y)
        for (int x = 410; x < 700; ++x)
            light += QColor(menu.pixel(x, y)).lightness() > 200 &&
                     QColor(before.pixel(x, y)).lightness() < 100;
    EXPECT_GT(light, 40000) << "the application's menu opened at the pointer";

    // Its first item hides the prompter, and names the key that does the same.
    run({"xdotool", "key", "Down", "Return"});
    for (int i = 0; i < 40 && desktop_.windowOfType("UTILITY"); ++i) QTest::qWait(50);
    EXPECT_FALSE(desktop_.windowOfType("UTILITY")) << vorela.log();
    const QRect screenBelowTray{0, 100, 1280, 700};
    EXPECT_GT(textPixels(before, screenBelowTray), 10000);
    EXPECT_EQ(textPixels(desktop_.screenshot("desktop-fullscreen-left"), screenBelowTray), 0)
        << "the script is gone from the screen";
    EXPECT_TRUE(vorela.isRunning());
}

}  // namespace
}  // namespace vorela::testing
