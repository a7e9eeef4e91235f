#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QTest>
#include <csignal>
#include <filesystem>

#include "App/Linux/Desktop/VorelaDesktopFixture.h"

namespace vorela::testing {
namespace {

TEST_F(VorelaDesktopTest, FirstStartShowsTheTrayIconAndTheWindowTheLaunchChose) {
    VorelaProcess vorela;
    const auto icon = vorela.waitForTrayIcon();
    ASSERT_TRUE(icon) << vorela.log();
    QTest::qWait(500);
    const QImage shot = desktop_.screenshot("desktop-first-start");
    EXPECT_TRUE(vorela.isRunning());
    // The tray icon is drawn: not all one colour.
    const QRgb corner = shot.pixel(icon->topLeft());
    int drawn = 0;
    for (int y = icon->top(); y <= icon->bottom(); ++y)
        for (int x = icon->left(); x <= icon->right(); ++x) drawn += shot.pixel(x, y) != corner;
    EXPECT_GT(drawn, 10);

    // Onboarding not finished: the launch opens the welcome window.
    EXPECT_TRUE(desktop_.windowOfType("NORMAL", "Bienvenido a Vorela")) << vorela.log();
}

TEST_F(VorelaDesktopTest, ALaterStartWithOnboardingDoneOpensTheMainWindow) {
    VorelaProcess vorela("<key>didFinishOnboarding</key><true/>");
    ASSERT_TRUE(vorela.waitForTrayIcon()) << vorela.log();
    QTest::qWait(500);
    desktop_.screenshot("desktop-later-start");
    EXPECT_TRUE(desktop_.windowOfType("NORMAL", "Vorela")) << vorela.log();
}

TEST_F(VorelaDesktopTest, ASecondStartHandsItsUrlToTheFirstAndEnds) {
    VorelaProcess vorela(kQuietLaunch);
    ASSERT_TRUE(vorela.waitForTrayIcon()) << vorela.log();
    EXPECT_FALSE(desktop_.windowOfType("NORMAL")) << "a quiet launch shows only the tray icon";
    EXPECT_FALSE(desktop_.windowOfType("UTILITY"));

    EXPECT_EQ(vorela.startAgain({"prompter://read?text=Hola&title=Prueba"}), 0);
    const auto panel = waitForPanel();
    ASSERT_TRUE(panel) << "the URL shows the panel of the first instance\n" << vorela.log();
    QTest::qWait(700);
    const int oneWord = textPixels(desktop_.screenshot("desktop-url-one-word"), *panel);

    std::string many;
    for (int i = 0; i < 40; ++i) many += "palabra%20larga%20";
    EXPECT_EQ(vorela.startAgain({"prompter://read?text=" + many}), 0);
    QTest::qWait(700);
    const int manyWords = textPixels(desktop_.screenshot("desktop-url-many-words"), *panel);
    EXPECT_GT(manyWords, 3 * std::max(oneWord, 1)) << oneWord << " against " << manyWords;
    EXPECT_TRUE(vorela.isRunning());
}

TEST_F(VorelaDesktopTest, TermAndInterruptQuitInOrderLikeSalir) {
    // SIGTERM and SIGINT killed the program on the spot: nothing was let go in order and
    // the socket stayed behind. They now end the event loop as "Salir" does.
    for (const int number : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(number);
        VorelaProcess vorela(kQuietLaunch);
        ASSERT_TRUE(vorela.waitForTrayIcon()) << vorela.log();
        const auto socket = vorela.home() / "runtime" / "app.vorela.Vorela.socket";
        ASSERT_TRUE(std::filesystem::exists(socket));
        EXPECT_EQ(vorela.endWith(number, 20), 0) << vorela.log();
        EXPECT_FALSE(std::filesystem::exists(socket)) << "the instance let go of its socket";
        EXPECT_NE(vorela.log().find("Vorela se cierra"), std::string::npos) << vorela.log();
    }
}

TEST_F(VorelaDesktopTest, TheReadSelectionActionLoadsTheSelectedTextOrSaysThereIsNone) {
    VorelaProcess vorela(kQuietLaunch);
    ASSERT_TRUE(vorela.waitForTrayIcon()) << vorela.log();
    const auto before = desktop_.programWindows().size();
    EXPECT_EQ(vorela.startAgain({"--read-selection"}), 0) << "nothing selected";
    QTest::qWait(700);
    desktop_.screenshot("desktop-selection-none");
    EXPECT_GT(desktop_.programWindows().size(), before) << "the user is told";
    EXPECT_FALSE(waitForPanel(1)) << "nothing loaded";

    ASSERT_EQ(run({"sh", "-c",
                   "printf 'Texto elegido en otra ventana para leer en voz alta' | "
                   "xclip -selection primary -loops 1 -i"}),
              0);
    EXPECT_EQ(vorela.startAgain({"--read-selection"}), 0);
    const auto panel = waitForPanel();
    ASSERT_TRUE(panel) << vorela.log();
    QTest::qWait(700);
    EXPECT_GT(textPixels(desktop_.screenshot("desktop-selection-read"), *panel), 500);
}

TEST_F(VorelaDesktopTest, AltSpaceStartsAndStopsTheScrolling) {
    VorelaProcess vorela(kQuietLaunch);
    ASSERT_TRUE(vorela.waitForTrayIcon()) << vorela.log();
    ASSERT_EQ(vorela.startAgain({longScriptLink(120)}), 0);
    const auto panel = waitForPanel();
    ASSERT_TRUE(panel) << vorela.log();
    QTest::qWait(700);
    const QImage still = desktop_.screenshot("desktop-shortcut-stopped");
    QTest::qWait(1500);
    EXPECT_EQ(differingPixels(still, desktop_.screenshot("desktop-shortcut-stopped-later"), *panel),
              0)
        << "stopped: nothing moves";

    run({"xdotool", "key", "alt+space"});
    QTest::qWait(2000);
    const QImage moving = desktop_.screenshot("desktop-shortcut-playing");
    EXPECT_GT(differingPixels(still, moving, *panel), 100) << vorela.log();

    run({"xdotool", "key", "alt+space"});
    QTest::qWait(1000);  // the scroll eases to its target
    const QImage paused = desktop_.screenshot("desktop-shortcut-paused");
    QTest::qWait(1500);
    EXPECT_EQ(differingPixels(paused, desktop_.screenshot("desktop-shortcut-paused-later"), *panel),
              0)
        << "paused again";
}

TEST_F(VorelaDesktopTest, TheTrayMenuOpensWithItsItemsInTheModelsOrder) {
    VorelaProcess vorela(kQuietLaunch);
    ASSERT_TRUE(openTrayMenu(vorela)) << vorela.log();
    const QImage open = desktop_.screenshot("desktop-tray-menu");
    // The menu drops below the icon: a wide light area appears under the tray.
    int light = 0;
    for (int y = 30; y < 300; ++y)
        for (int x = 900; x < 1280; ++x) light += QColor(open.pixel(x, y)).lightness() > 200;
    EXPECT_GT(light, 10000) << "the menu is open";

    // The eleventh item the keyboard reaches is "Cargar guion de ejemplo": the panel shows.
    for (int i = 0; i < 11; ++i) run({"xdotool", "key", "Down"});
    run({"xdotool", "key", "Return"});
    const auto panel = waitForPanel();
    ASSERT_TRUE(panel) << "the sample script is loaded and shown\n" << vorela.log();
    QTest::qWait(700);
    EXPECT_GT(textPixels(desktop_.screenshot("desktop-tray-sample"), *panel), 500);
}

TEST_F(VorelaDesktopTest, PreferencesFromTheTrayMenuOpenTheSettingsWindow) {
    VorelaProcess vorela(kQuietLaunch);
    ASSERT_TRUE(openTrayMenu(vorela)) << vorela.log();
    // "Preferencias…" is the fourteenth item the keyboard reaches; Alt held asks for the
    // matcher tab as well.
    for (int i = 0; i < 14; ++i) run({"xdotool", "key", "Down"});
    const QImage menu = desktop_.screenshot("desktop-tray-preferences-item");
    // The highlighted row is the item reached; it is clicked with Alt down.
    int row = -1;
    for (int y = 30; y < 400 && row < 0; ++y)
        if (QColor(menu.pixel(1000, y)).saturation() > 100) row = y + 5;
    ASSERT_GT(row, 0) << "no item is highlighted";
    run({"xdotool", "mousemove", "1000", std::to_string(row), "keydown", "alt", "click", "1",
         "keyup", "alt"});
    std::optional<QRect> settings;
    for (int i = 0; i < 100 && !settings; ++i, QTest::qWait(50))
        settings = desktop_.windowOfType("NORMAL", "Preferencias");
    ASSERT_TRUE(settings) << vorela.log();
    EXPECT_EQ(settings->width(), 700);
    desktop_.screenshot("desktop-tray-settings");
}

}  // namespace
}  // namespace vorela::testing
