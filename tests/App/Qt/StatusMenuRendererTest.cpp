#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QImage>
#include <QMenu>

#include "App/Qt/StatusMenuRenderer.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Platform/Observation/NotificationCenter.h"
#include "Support/QtTestApp.h"

namespace vorela {
namespace {

using Shortcuts::EventModifiers;

class StatusMenuRendererTest : public ::testing::Test {
protected:
    std::vector<MenuItem> items() {
        ++builds_;
        MenuItem play = MenuItem::make(MenuItem::Kind::action,
                                       builds_ > 1 ? "Pausar" : "Reproducir", "playPause");
        MenuItem toggle = MenuItem::make(MenuItem::Kind::action, "Mostrar prompter", "togglePanel");
        toggle.keyEquivalent = Shortcuts::KeyboardShortcut{{U'p'}, EventModifiers::option};
        MenuItem manual = MenuItem::make(MenuItem::Kind::action, "Manual", "mode:manual");
        manual.isChecked = true;
        MenuItem modes = MenuItem::make(MenuItem::Kind::submenu, "Modo", "modeMenu");
        modes.submenu = {
            manual, MenuItem::make(MenuItem::Kind::action, "Sigue mi voz", "mode:wordTracking")};
        MenuItem calibrating = MenuItem::make(MenuItem::Kind::action, "Calibrando…", "calibrate");
        calibrating.isEnabled = false;
        MenuItem glass = MenuItem::make(MenuItem::Kind::toggle, "Fondo de vidrio", "glass");
        MenuItem settings = MenuItem::make(MenuItem::Kind::action, "Preferencias…", "preferences");
        settings.keyEquivalent = Shortcuts::KeyboardShortcut{{U','}, EventModifiers::control};
        return {toggle, play, modes, calibrating, glass, MenuItem::separator(), settings};
    }

    QApplication& app_ = testing::qtTestApp();
    ManualRunLoop loop_;
    NotificationCenter notifications_{loop_};
    QMenu menu_;
    int builds_ = 0;
    std::vector<std::pair<std::string, bool>> performed_;
    StatusMenuRenderer renderer_{
        menu_, notifications_, [this] { return items(); },
        [this](const std::string& a, bool alt) { performed_.emplace_back(a, alt); }};
};

TEST_F(StatusMenuRendererTest, RendersTheModelWithKeysChecksAndDisabledItems) {
    auto* toggle = menu_.findChild<QAction*>("togglePanel");
    ASSERT_NE(toggle, nullptr);
    EXPECT_EQ(toggle->shortcut(), QKeySequence(Qt::ALT | Qt::Key_P));
    EXPECT_EQ(menu_.findChild<QAction*>("preferences")->shortcut(),
              QKeySequence(Qt::CTRL | Qt::Key_Comma));
    EXPECT_FALSE(menu_.findChild<QAction*>("calibrate")->isEnabled());
    EXPECT_TRUE(menu_.findChild<QAction*>("glass")->isCheckable());
    EXPECT_FALSE(menu_.findChild<QAction*>("glass")->isChecked());
    auto* modes = menu_.findChild<QMenu*>("modeMenu");
    ASSERT_NE(modes, nullptr);
    EXPECT_TRUE(modes->findChild<QAction*>("mode:manual")->isChecked());
    EXPECT_FALSE(modes->findChild<QAction*>("mode:wordTracking")->isCheckable());
    EXPECT_EQ(menu_.actions().size(), 7);
}

// Under the Spanish Qt translation the menus drew "Control+," and "Alt+P" beside the
// titles while every other text said "Ctrl+,": the keys are now written by our own words.
TEST_F(StatusMenuRendererTest, KeysAreWrittenAsEveryOtherShownKeyIs) {
    EXPECT_EQ(menu_.findChild<QAction*>("preferences")->text(), "Preferencias…\tCtrl+,");
    EXPECT_EQ(menu_.findChild<QAction*>("togglePanel")->text(), "Mostrar prompter\tAlt+P");
    EXPECT_EQ(menu_.findChild<QAction*>("playPause")->text(), "Reproducir");
}

TEST_F(StatusMenuRendererTest, OpeningRebuildsAndTellsTheShortcutCentreWhileItIsOpen) {
    std::vector<std::string> heard;
    auto begin = notifications_.observe(kMenuDidBeginTrackingNotification,
                                        [&](const Notification&) { heard.push_back("begin"); });
    auto end = notifications_.observe(kMenuDidEndTrackingNotification,
                                      [&](const Notification&) { heard.push_back("end"); });
    // The signals a real opening sends; a popup on the offscreen platform crashes Qt's
    // exit handlers in this Qt version.
    emit menu_.aboutToShow();
    EXPECT_EQ(menu_.findChild<QAction*>("playPause")->text(), "Pausar");
    EXPECT_EQ(menu_.findChildren<QMenu*>("modeMenu").size(), 1);

    const QString folder = QDir::current().absoluteFilePath("artifacts");
    QDir().mkpath(folder);
    const QImage shot = menu_.grab().toImage();
    shot.save(folder + "/tray-menu.png");
    // The menu paints something other than its background where the first title sits.
    const QColor background = shot.pixelColor(shot.width() - 2, shot.height() / 2);
    bool hasText = false;
    for (int x = 0; x < shot.width() / 2 && !hasText; ++x) {
        for (int y = 0; y < shot.height() / 7 && !hasText; ++y)
            hasText = shot.pixelColor(x, y) != background;
    }
    EXPECT_TRUE(hasText);

    emit menu_.aboutToHide();
    EXPECT_EQ(heard, (std::vector<std::string>{"begin", "end"}));
}

TEST_F(StatusMenuRendererTest, ChoosingAnItemHandsBackItsActionAndWhetherAltWasHeld) {
    menu_.findChild<QAction*>("preferences")->trigger();
    menu_.findChild<QMenu*>("modeMenu")->findChild<QAction*>("mode:wordTracking")->trigger();
    const std::vector<std::pair<std::string, bool>> expected{{"preferences", false},
                                                             {"mode:wordTracking", false}};
    EXPECT_EQ(performed_, expected);
}

}  // namespace
}  // namespace vorela
