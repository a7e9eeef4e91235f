#include <gtest/gtest.h>

#include <QImage>
#include <QTest>
#include <cstdlib>

#include "App/Linux/Desktop/VorelaDesktopFixture.h"

namespace vorela::testing {
namespace {

// The panel and the windows around it on a desktop a new user meets.
class PanelDesktopTest : public VorelaDesktopTest {};

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

}  // namespace
}  // namespace vorela::testing
