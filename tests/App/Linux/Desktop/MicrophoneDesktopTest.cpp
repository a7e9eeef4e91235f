#include <gtest/gtest.h>

#include <QTest>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "App/Linux/Desktop/VorelaDesktopFixture.h"
#include "Support/RefusedMicrophone.h"
#include "Support/StubPrograms.h"

namespace vorela::testing {
namespace {

// The program, started with only `path` to find the sound settings tools on; the test's own
// tools keep the PATH they had.
std::unique_ptr<VorelaProcess> startWithPath(const std::string& path) {
    const std::string before = std::getenv("PATH");
    setenv("PATH", path.c_str(), 1);
    auto vorela = std::make_unique<VorelaProcess>(kQuietLaunch);
    setenv("PATH", before.c_str(), 1);
    return vorela;
}

class MicrophoneDesktopTest : public VorelaDesktopTest {
protected:
    void SetUp() override {
        VorelaDesktopTest::SetUp();
        if (IsSkipped()) return;
        if (!refused_.isInstalled()) GTEST_SKIP() << "no file here refuses reading";
    }

    static void keys(const std::vector<std::string>& names) {
        for (const auto& name : names) {
            run({"xdotool", "key", name});
            QTest::qWait(200);
        }
    }
    // Tray menu, "Modo", then the item `moves` away from the submenu's first one.
    static void pickInModeMenu(const VorelaProcess& vorela, const std::string& move, int moves) {
        ASSERT_TRUE(openTrayMenu(vorela));
        keys({"Down", "Down", "Down", "Down", "Right"});
        for (int i = 0; i < moves; ++i) keys({move});
    }
    // Pale yellow pixels of a tray message, under the tray at the top right; and the dark
    // pixels of its text among them.
    static std::pair<int, int> trayMessagePixels(const QImage& screen) {
        int paper = 0, ink = 0;
        for (int y = 24; y < 200; ++y)
            for (int x = screen.width() / 2; x < screen.width(); ++x) {
                const QColor c = screen.pixelColor(x, y);
                if (c.red() > 240 && c.green() > 240 && c.blue() > 170 && c.blue() < 235) ++paper;
                if (c.lightness() < 90 && x > screen.width() - 440 && y < 120) ++ink;
            }
        return {paper, ink};
    }

    RefusedMicrophone refused_;
};

// The sound device refuses the user: voice mode is refused, the mode menu offers the
// settings, and the item starts the first sound settings tool found on PATH.
TEST_F(MicrophoneDesktopTest, TheTrayOpensTheSoundSettingsWhenTheMicrophoneIsRefused) {
    StubPrograms stubs;
    stubs.add("pavucontrol");
    const auto started = startWithPath(stubs.bin().string() + ":" + std::getenv("PATH"));
    VorelaProcess& vorela = *started;
    ASSERT_TRUE(vorela.waitForTrayIcon()) << vorela.log();

    pickInModeMenu(vorela, "Down", 2);  // "Activado por voz"
    keys({"Return"});
    QTest::qWait(1000);
    pickInModeMenu(vorela, "Up", 1);  // the last item: the settings
    desktop_.screenshot("desktop-tray-microphone-refused");
    keys({"Return"});
    for (int i = 0; i < 100 && !stubs.ran(); ++i) QTest::qWait(50);
    EXPECT_EQ(stubs.ran(), "pavucontrol --tab=4") << vorela.log();
}

// With no sound settings tool installed, the item tells the user so in a message from the
// tray instead of doing nothing.
TEST_F(MicrophoneDesktopTest, WithNoSoundSettingsTheTraySaysSo) {
    StubPrograms empty;
    const auto started = startWithPath(empty.bin().string());
    VorelaProcess& vorela = *started;
    ASSERT_TRUE(vorela.waitForTrayIcon()) << vorela.log();

    pickInModeMenu(vorela, "Down", 2);
    keys({"Return"});
    QTest::qWait(1000);
    EXPECT_LT(trayMessagePixels(desktop_.screenshot("desktop-tray-before-message")).first, 2000);
    pickInModeMenu(vorela, "Up", 1);
    keys({"Return"});
    QTest::qWait(1000);
    const auto [paper, ink] =
        trayMessagePixels(desktop_.screenshot("desktop-tray-no-sound-settings"));
    EXPECT_GT(paper, 10000) << "no message from the tray\n" << vorela.log();
    EXPECT_GT(ink, 300) << "a message without its text\n" << vorela.log();
    EXPECT_FALSE(empty.ran());
}

}  // namespace
}  // namespace vorela::testing
