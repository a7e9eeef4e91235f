#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <clocale>
#include <filesystem>
#include <fstream>

#include "Platform/Foundation/Format.h"
#include "Platform/Workspace/Fake/FakeWorkspace.h"
#include "Prefs/Prefs.h"
#include "Settings/Qt/AboutWindow.h"
#include "Settings/Qt/SettingsWindow.h"
#include "Settings/Qt/SettingsWindowFixture.h"
#include "Settings/Qt/VoiceDebugWindow.h"
#include "Shortcuts/Qt/RecorderRow.h"
#include "Ui/LevelMeter.h"

namespace vorela {
namespace {

class DiagnosticsWindowsTest : public testing::SettingsWindowFixture {
protected:
    std::unique_ptr<SettingsWindow> settingsOn(const char* tabName) {
        PanelController& panel = panel_ ? *panel_ : makePanel();
        auto window = std::make_unique<SettingsWindow>(*state_, panel, loop_, loginItem_,
                                                       telemetry_, screens_, screenCapture_,
                                                       *shortcuts_.context, workspace_, true);
        window->tabs()->setCurrentWidget(window->findChild<QWidget*>(tabName));
        window->show();
        return window;
    }
};

TEST_F(DiagnosticsWindowsTest, VoiceTabReadsTheStateUnderACommaLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    auto window = settingsOn("voiceTab");
    QWidget& voice = *window->findChild<QWidget*>("voiceTab");
    EXPECT_EQ(text(voice, "noiseFloorLabel"), "-50.0 dBFS");
    // The row named an engine before any had run; it reads "sin arrancar" until one has.
    EXPECT_EQ(text(voice, "engineLabel"), "sin arrancar");
    EXPECT_FALSE(child<QLabel>(voice, "measuredPaceLabel")->isVisible());
    EXPECT_FALSE(child<QLabel>(voice, "problemLabel")->isVisible());

    auto* sensitivity = child<QSlider>(voice, "sensitivitySlider");
    sensitivity->setValue(sensitivity->maximum());
    EXPECT_EQ(state_->voiceProfile.get().sensitivity, 100);
    EXPECT_EQ(text(voice, "sensitivitySliderValue"), "100");
    auto* meter = child<LevelMeter>(voice, "levelMeter");
    EXPECT_NEAR(meter->threshold(), 14.0 / 60, 1e-9) << "the marker moves with the slider";
    EXPECT_EQ(meter->height(), 10);

    auto* locales = child<QComboBox>(voice, "localePicker");
    locales->setCurrentIndex(locales->findText("Inglés (Reino Unido)"));
    EXPECT_EQ(state_->transcriptionLocale(), TranscriptionLocale::englishUK);
    screenshot(*window, "settings-voice.png");
    state_->setMode(PrompterMode::wordTracking);
    loop_.runUntilIdle();
    EXPECT_EQ(text(voice, "engineLabel").toStdString(), engines_.last()->engineName());
    std::setlocale(LC_ALL, previous.c_str());
}

TEST_F(DiagnosticsWindowsTest, RecalibrationDisablesItsButtonWhileMeasuring) {
    auto window = settingsOn("voiceTab");
    auto* button = child<QPushButton>(*window, "recalibrateButton");
    EXPECT_EQ(button->text(), "Recalibrar (2 s de silencio)");
    button->click();
    loop_.runUntilIdle();
    ASSERT_TRUE(state_->isCalibrating.get());
    EXPECT_EQ(button->text(), "Midiendo…");
    EXPECT_FALSE(button->isEnabled());
    for (int i = 0; i < 20; ++i) {
        capture(false, 0);
        loop_.advanceBy(0.1);
    }
    loop_.advanceBy(0.5);
    EXPECT_FALSE(state_->isCalibrating.get());
    EXPECT_TRUE(button->isEnabled());
}

TEST_F(DiagnosticsWindowsTest, ShortcutsTabHasTheSevenRecorders) {
    auto window = settingsOn("shortcutsTab");
    const char* names[] = {"togglePlayRecorder", "fasterRecorder",           "slowerRecorder",
                           "restartRecorder",    "previousBookmarkRecorder", "nextBookmarkRecorder",
                           "togglePanelRecorder"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        EXPECT_NE(window->findChild<Shortcuts::RecorderRow*>(name), nullptr);
    }
    EXPECT_TRUE(text(*window, "shortcutsNote").endsWith("combinaciones con Alt."));
    screenshot(*window, "settings-shortcuts.png");
}

TEST_F(DiagnosticsWindowsTest, MatcherTabTunesTheRunningMatcherAndTheLog) {
    auto window = settingsOn("matcherTab");
    QWidget& tab = *window->findChild<QWidget*>("matcherTab");
    EXPECT_EQ(text(tab, "matchStateLabel"), "searching");
    EXPECT_EQ(text(tab, "measuredRateLabel"), "140 ppm");
    EXPECT_EQ(text(tab, "thetaLockSliderValue"),
              QString::fromStdString(format("%.2f", state_->matcher().config().thetaLock)));

    const MatcherConfig before = state_->matcher().config();
    struct Case {
        const char* slider;
        double MatcherConfig::*field;
        double top;
    } cases[] = {
        {"thetaLockSlider", &MatcherConfig::thetaLock, 0.9},
        {"thetaJumpSlider", &MatcherConfig::thetaJump, 0.95},
        {"thetaRecoverSlider", &MatcherConfig::thetaRecover, 0.95},
        {"gapPenaltySlider", &MatcherConfig::gapPenalty, 0.5},
        {"proximityBonusSlider", &MatcherConfig::proximityBonus, 0.5},
        {"lostTimeoutSlider", &MatcherConfig::lostTimeout, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.slider);
        auto* slider = child<QSlider>(tab, c.slider);
        slider->setValue(slider->maximum());
        EXPECT_DOUBLE_EQ(state_->matcher().config().*c.field, c.top);
    }
    EXPECT_EQ(state_->matcher().config().forward, before.forward) << "other fields untouched";
    EXPECT_EQ(text(tab, "lostTimeoutSliderValue"), "8.00");

    auto* toggle = child<QCheckBox>(tab, "debugTelemetryToggle");
    EXPECT_TRUE(toggle->isChecked()) << "the fixture switched the log on";
    clickToggle(toggle);
    EXPECT_EQ(defaults_->object("debugTelemetry"), PropertyList(false));

    const auto path = telemetry_.fileURL();
    ASSERT_TRUE(path);
    EXPECT_EQ(text(tab, "logPathLabel"), QString::fromStdString(path->string()));
    child<QPushButton>(tab, "clearLogButton")->click();  // no file yet: nothing happens
    std::ofstream(*path) << "{}\n";
    child<QPushButton>(tab, "clearLogButton")->click();
    EXPECT_FALSE(std::filesystem::exists(*path));
    screenshot(*window, "settings-matcher.png");
}

TEST_F(DiagnosticsWindowsTest, VoiceDebugWindowShowsLiveStateAndListensThroughTheMode) {
    makeState();
    VoiceDebugWindow window(*state_, loop_);
    window.show();
    EXPECT_EQ(window.windowTitle(), "Diagnóstico de voz");
    EXPECT_EQ(window.size(), QSize(520, 420));
    EXPECT_EQ(text(window, "micStatusValue"), "detenido");
    EXPECT_EQ(text(window, "latencyValue"), "0 ms");
    EXPECT_EQ(text(window, "levelValue"), "0.00  ");
    EXPECT_TRUE(text(window, "transcriptLabel").startsWith("Pulsá Escuchar"));
    screenshot(window, "voice-debug-idle.png");

    auto* listen = child<QPushButton>(window, "listenButton");
    EXPECT_EQ(listen->text(), "Escuchar");
    state_->load(numberedWords(5), "prueba");
    listen->click();
    loop_.runUntilIdle();
    EXPECT_EQ(state_->mode.get(), PrompterMode::wordTracking);
    EXPECT_EQ(text(window, "micStatusValue"), "corriendo");
    if (state_->isTranscribing.get()) {
        EXPECT_EQ(listen->text(), "Detener");
        screenshot(window, "voice-debug-listening.png");
        listen->click();
        loop_.runUntilIdle();
        EXPECT_EQ(state_->mode.get(), PrompterMode::classic);
        EXPECT_EQ(listen->text(), "Escuchar");
    }
}

TEST_F(DiagnosticsWindowsTest, AboutWindowOpensItsLinksWithTheDesktopHandler) {
    FakeWorkspace workspace;
    AboutWindow window(workspace);
    window.show();
    EXPECT_EQ(window.windowTitle(), "Acerca de Vorela");
    EXPECT_EQ(window.width(), 380);
    EXPECT_EQ(text(window, "versionLabel"),
              QString::fromStdString(UpdateController::versionDescription()));
    for (const char* name : {"changelogLink", "privacyLink", "licenseLink", "contactLink"}) {
        auto* link = child<QLabel>(window, name);
        const QString href = link->text().section('"', 1, 1);
        emit link->linkActivated(href);
    }
    EXPECT_EQ(workspace.opened,
              (std::vector<std::string>{"https://vorela.app/changelog.html",
                                        "https://vorela.app/privacidad.html",
                                        "https://vorela.app/eula.html", "mailto:hola@vorela.app"}));
    const QImage image = screenshot(window, "about.png");
    EXPECT_GT(image.height(), 200) << "the height follows the content";
}

}  // namespace
}  // namespace vorela
