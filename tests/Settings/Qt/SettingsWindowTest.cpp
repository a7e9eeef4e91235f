#include <QCheckBox>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

#include "Platform/Workspace/Linux/XdgOpenWorkspace.h"
#include "Prefs/Prefs.h"
#include "Settings/Qt/SettingsWindow.h"
#include "Settings/Qt/SettingsWindowFixture.h"
#include "Window/PanelPlacement.h"

namespace vorela {
namespace {

namespace Keys = Prefs::Keys;

class SettingsWindowTest : public testing::SettingsWindowFixture {
protected:
    std::unique_ptr<SettingsWindow> makeWindow(bool showsDebugTab = false,
                                               Workspace* workspace = nullptr) {
        PanelController& panel = panel_ ? *panel_ : makePanel();
        auto window = std::make_unique<SettingsWindow>(
            *state_, panel, loop_, loginItem_, telemetry_, screens_, screenCapture_,
            *shortcuts_.context, workspace ? *workspace : workspace_, showsDebugTab);
        window->show();
        return window;
    }
    static QStringList tabLabels(const SettingsWindow& window) {
        QStringList labels;
        for (int i = 0; i < window.tabs()->count(); ++i) labels << window.tabs()->tabText(i);
        return labels;
    }
    static QWidget& tab(SettingsWindow& window, const char* name) {
        QWidget* page = window.findChild<QWidget*>(name);
        EXPECT_NE(page, nullptr) << name;
        window.tabs()->setCurrentWidget(page);
        return *page;
    }
};

TEST_F(SettingsWindowTest, TabsStandInOrderAndTheMatcherTabComesAndGoes) {
    auto window = makeWindow();
    EXPECT_EQ(window->windowTitle(), "Preferencias");
    EXPECT_EQ(window->size(), QSize(700, 480));
    EXPECT_EQ(tabLabels(*window),
              (QStringList{"General", "Apariencia", "Voz", "Atajos", "Discreción"}));
    EXPECT_EQ(window->tabs()->currentIndex(), 0);

    window->tabs()->setCurrentIndex(2);
    window->setShowsDebugTab(true);
    EXPECT_EQ(tabLabels(*window).last(), "Matcher");
    EXPECT_EQ(window->tabs()->currentIndex(), 2) << "the open tab stays open";
    window->setShowsDebugTab(true);
    EXPECT_EQ(window->tabs()->count(), 6) << "asked twice, shown once";
    window->setShowsDebugTab(false);
    EXPECT_EQ(tabLabels(*window),
              (QStringList{"General", "Apariencia", "Voz", "Atajos", "Discreción"}));
    EXPECT_EQ(window->findChild<QWidget*>("matcherTab"), nullptr);

    auto withDebug = makeWindow(true);
    EXPECT_EQ(withDebug->tabs()->count(), 6);
    EXPECT_EQ(withDebug->tabs()->currentIndex(), 0);
}

TEST_F(SettingsWindowTest, GeneralPickersWriteTheirKeysAndFollowThem) {
    screens_.setScreens({FakeScreens::makeScreen("Interna", {0, 0, 1440, 900}, "1"),
                         FakeScreens::makeScreen("Externa", {1440, 0, 1920, 1080}, "2")});
    makePanel();
    panel_->refreshScreens();
    auto window = makeWindow();
    QWidget& general = tab(*window, "generalTab");

    auto* modes = child<QComboBox>(general, "defaultModePicker");
    modes->setCurrentIndex(modes->findText("Sigue mi voz"));
    EXPECT_EQ(Prefs::get(Keys::defaultMode()), PrompterMode::wordTracking);
    EXPECT_EQ(state_->mode.get(), PrompterMode::manual) << "the key only, nothing else";
    Prefs::set(Keys::defaultMode(), PrompterMode::classic);
    loop_.runUntilIdle();
    EXPECT_EQ(modes->currentText(), "Velocidad constante") << "follows a write elsewhere";

    auto* placement = child<QComboBox>(general, "panelModePicker");
    EXPECT_EQ(placement->currentText(), "Bajo el notch");
    placement->setCurrentIndex(placement->findText("Flotante"));
    EXPECT_EQ(panel_->mode.get(), PanelMode::floating);

    auto* screen = child<QComboBox>(general, "screenPicker");
    ASSERT_EQ(screen->count(), 3);
    EXPECT_EQ(screen->currentText(), "Automática") << "nothing stored";
    screen->activated(2);
    EXPECT_EQ(Prefs::get(Keys::preferredScreen()), "2");
    screen->activated(0);
    EXPECT_EQ(Prefs::get(Keys::preferredScreen()), "") << "stored empty, not removed";
    loop_.runUntilIdle();
    EXPECT_EQ(screen->currentText(), "Automática");
    Prefs::set(Keys::preferredScreen(), std::optional<std::string>("HDMI-9"));
    loop_.runUntilIdle();
    EXPECT_EQ(screen->currentIndex(), -1) << "a screen no longer connected selects nothing";

    auto* openMain = child<QCheckBox>(general, "openMainWindowToggle");
    clickToggle(openMain);
    EXPECT_FALSE(Prefs::get(Keys::openMainWindowAtLaunch()));
    screenshot(*window, "settings-general.png");
}

TEST_F(SettingsWindowTest, LaunchAtLoginShowsARefusalUntilTheWindowIsMadeAgain) {
    makeState();
    loginItem_.setFailure(LoginItemFailure{LoginItemError::cannotWrite, "solo lectura"});
    auto window = makeWindow();
    QWidget& general = tab(*window, "generalTab");
    auto* toggle = child<QCheckBox>(general, "launchAtLoginToggle");
    auto* error = child<QLabel>(general, "launchErrorLabel");
    EXPECT_FALSE(error->isVisible());

    clickToggle(toggle);
    EXPECT_FALSE(toggle->isChecked()) << "back to the real status";
    EXPECT_TRUE(error->isVisible());
    EXPECT_TRUE(error->text().contains("No se pudo crear la entrada de inicio automático."));
    screenshot(*window, "settings-general-login-error.png");

    loginItem_.setFailure(std::nullopt);
    loginItem_.setStatus(LoginItemStatus::enabled);
    window = makeWindow();
    EXPECT_TRUE(child<QCheckBox>(*window, "launchAtLoginToggle")->isChecked());
    EXPECT_FALSE(child<QLabel>(*window, "launchErrorLabel")->isVisible());
}

TEST_F(SettingsWindowTest, UpdatesWithoutAChannelOfferNoCheck) {
    makeState();
    auto window = makeWindow();
    EXPECT_FALSE(child<QPushButton>(*window, "checkForUpdatesButton")->isEnabled());
    EXPECT_EQ(text(*window, "updatesChannelCaption"),
              "Este build no tiene configurado el canal de actualizaciones.");
    EXPECT_TRUE(text(*window, "versionLabel").endsWith(")"));
    auto* automatic = child<QCheckBox>(*window, "automaticUpdatesToggle");
    clickToggle(automatic);
    EXPECT_FALSE(Prefs::get(Keys::automaticUpdates()));
}

TEST_F(SettingsWindowTest, AppearanceSlidersStoreAndShowTheirValues) {
    auto window = makeWindow();
    QWidget& appearance = tab(*window, "appearanceTab");
    auto* size = child<QSlider>(appearance, "fontSizeSlider");
    size->setValue(size->maximum());
    EXPECT_EQ(Prefs::get(Keys::themeFontSize()), 48);
    EXPECT_EQ(state_->theme.get().fontSize, 48) << "the panel follows during the drag";
    EXPECT_EQ(text(appearance, "fontSizeSliderValue"), "48 pt");
    size->setValue(size->minimum());
    EXPECT_EQ(text(appearance, "fontSizeSliderValue"), "14 pt");

    // Written by another program: shown as stored, never rewritten by the tab.
    Prefs::set(Keys::themeFontSize(), 60.0);
    loop_.runUntilIdle();
    EXPECT_EQ(size->value(), size->maximum());
    EXPECT_EQ(text(appearance, "fontSizeSliderValue"), "60 pt");
    EXPECT_EQ(Prefs::get(Keys::themeFontSize()), 60);

    // The notch's limits, then the floating ones, over the same stored width.
    Prefs::set(Keys::panelWidth(), 1000.0);
    loop_.runUntilIdle();
    auto* width = child<QSlider>(appearance, "widthSlider");
    EXPECT_EQ(text(appearance, "widthSliderValue"), "900 pt");
    width->setValue(width->minimum());
    EXPECT_EQ(Prefs::get(Keys::panelWidth()), 420);
    panel_->setMode(PanelMode::floating);
    width->setValue(width->minimum());
    EXPECT_EQ(Prefs::get(Keys::panelWidth()), 280);
    auto* height = child<QSlider>(appearance, "heightSlider");
    height->setValue(height->maximum());
    EXPECT_EQ(Prefs::get(Keys::panelHeight()), 500);
    screenshot(*window, "settings-appearance.png");
}

TEST_F(SettingsWindowTest, AppearanceChoicesAndTogglesFollowTheirKeys) {
    auto window = makeWindow();
    QWidget& appearance = tab(*window, "appearanceTab");
    auto* fonts = child<QComboBox>(appearance, "fontPicker");
    EXPECT_EQ(fonts->count(), 4);
    fonts->setCurrentIndex(fonts->findText("OpenDyslexic"));
    EXPECT_EQ(state_->theme.get().fontFamily, ThemeFont::dyslexic);

    auto* highlight = child<QComboBox>(appearance, "highlightColorPicker");
    EXPECT_EQ(highlight->currentText(), "Naranja Vorela");
    highlight->setCurrentIndex(highlight->findText("Verde"));
    EXPECT_EQ(state_->theme.get().highlightColor, ThemeTextColor::green);

    state_->setMirrorMode(MirrorMode::rotated180);
    EXPECT_EQ(child<QComboBox>(appearance, "mirrorPicker")->currentText(), "Rotado 180°");

    const Theme before = state_->theme.get();
    clickToggle(child<QCheckBox>(appearance, "glassToggle"));
    EXPECT_TRUE(Prefs::get(Keys::glassBackground()));
    EXPECT_EQ(state_->theme.get(), before) << "glass is not part of the theme";

    Prefs::set(Keys::dimPassedText(), false);
    loop_.runUntilIdle();
    EXPECT_FALSE(child<QCheckBox>(appearance, "dimPassedToggle")->isChecked());
}

// Under Wayland the global keys act only while an X11 window has the focus; the tab showed
// them as working everywhere.
TEST_F(SettingsWindowTest, TheShortcutsTabSaysWhereTheKeysActInAWaylandSession) {
    struct Case {
        const char* sessionType;
        bool hasWaylandDisplay;
        bool isWayland;
    };
    for (const Case c : {Case{"x11", false, false}, Case{"wayland", true, true},
                         Case{"tty", true, true}, Case{"", false, false}}) {
        SCOPED_TRACE(std::string(c.sessionType) + (c.hasWaylandDisplay ? " WAYLAND_DISPLAY" : ""));
        auto environment = DesktopSettings::Environment::current();
        environment.sessionType = c.sessionType;
        environment.hasWaylandDisplay = c.hasWaylandDisplay;
        XdgOpenWorkspace workspace("xdg-open", DesktopSettings(environment),
                                   XdgOpenWorkspace::startDetached);
        auto window = makeWindow(false, &workspace);
        QWidget& shortcuts = tab(*window, "shortcutsTab");
        auto* note = shortcuts.findChild<QLabel*>("waylandShortcutsNote");
        ASSERT_EQ(note != nullptr, c.isWayland);
        if (!note) continue;
        EXPECT_TRUE(note->isVisible());
        EXPECT_TRUE(note->text().contains("Wayland")) << note->text().toStdString();
        EXPECT_TRUE(note->text().contains("foco")) << note->text().toStdString();
        screenshot(*window, "settings-shortcuts-wayland.png");
    }
}

}  // namespace
}  // namespace vorela
