#include <gtest/gtest.h>

#include "App/AppScenes.h"
#include "App/StatusMenu.h"
#include "AppStateEnvironment.h"
#include "Platform/Workspace/DesktopSettings.h"
#include "Support/FakePanelController.h"
#include "Window/PanelPlacement.h"

namespace vorela::testing {
namespace {

const MenuItem* find(const std::vector<MenuItem>& items, std::string_view action) {
    for (const auto& item : items) {
        if (item.action == action) return &item;
        if (const MenuItem* inner = find(item.submenu, action)) return inner;
    }
    return nullptr;
}

std::vector<std::string> titles(const MenuItem& menu) {
    std::vector<std::string> out;
    for (const auto& item : menu.submenu)
        out.push_back(item.kind == MenuItem::Kind::separator ? "—" : item.title);
    return out;
}

std::vector<std::string> checked(const std::vector<MenuItem>& items) {
    std::vector<std::string> out;
    for (const auto& item : items) {
        if (item.isChecked) out.push_back(item.action);
        for (const auto& inner : checked(item.submenu)) out.push_back(inner);
    }
    return out;
}

class StatusMenuTest : public AppStateTest {
protected:
    struct Windows final : WindowPresenter {
        void activateForWindow() override {}
        void open(WindowId id, bool debug) override { opened.emplace_back(id, debug); }
        void dismiss(WindowId) override {}
        void terminate() override { ++terminated; }
        std::vector<std::pair<WindowId, bool>> opened;
        int terminated = 0;
    };

    void perform(std::string_view action, bool alt = false) {
        StatusMenu::perform({*state_, panel_, scenes_, [&] { ++calibrations_; },
                             [&](const std::string& url) {
                                 opened_.push_back(url);
                                 return opens_;
                             },
                             [&](const std::string& text) { told_.push_back(text); }},
                            action, alt);
    }

    FakePanelController panel_;
    Windows windows_;
    AppScenes scenes_{windows_, true};
    int calibrations_ = 0;
    std::vector<std::string> opened_;
    bool opens_ = true;  // what the desktop's opener answers
    std::vector<std::string> told_;
};

TEST_F(StatusMenuTest, TitlesChecksAndConditionalEntriesFollowTheLiveState) {
    struct Case {
        const char* name;
        std::function<void(AppState&, FakePanelController&)> arrange;
        const char* panelTitle;
        const char* playTitle;
        const char* calibrateTitle;
        bool calibrateEnabled;
        std::size_t modeItems;
        std::size_t positionItems;
        std::vector<std::string> checks;
    };
    const std::vector<std::string> idle{"mode:manual", "panelMode:notch", "mirror:none"};
    const Case cases[] = {
        {"stopped", [](AppState&, FakePanelController&) {}, "Mostrar prompter", "Reproducir",
         "Calibrar micrófono (2 s de silencio)", true, 4, 6, idle},
        {"playing with the panel shown",
         [](AppState& s, FakePanelController& p) {
             s.play();
             p.show();
             s.setMirrorMode(MirrorMode::rotated180);
         },
         "Ocultar prompter",
         "Pausar",
         "Calibrar micrófono (2 s de silencio)",
         true,
         4,
         6,
         {"mode:classic", "panelMode:notch", "mirror:rotated180"}},
        {"calibrating", [](AppState&, FakePanelController&) {}, "Mostrar prompter", "Reproducir",
         "Calibrando…", false, 4, 6, idle},
        {"microphone refused",
         [this](AppState& s, FakePanelController&) {
             audio_->setAuthorizationStatus(AudioPermissionStatus::denied);
             s.setMode(PrompterMode::voiceActivated);
             loop_.runUntilIdle();
             s.pause();
         },
         "Mostrar prompter",
         "Reproducir",
         "Calibrar micrófono (2 s de silencio)",
         true,
         6,
         6,
         {"mode:voiceActivated", "panelMode:notch", "mirror:none"}},
        {"notch fallback", [](AppState&, FakePanelController& p) { p.fallBackToFloating(); },
         "Mostrar prompter", "Reproducir", "Calibrar micrófono (2 s de silencio)", true, 4, 8,
         idle},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Prefs::set(Prefs::Keys::mirrorMode(), MirrorMode::none);
        AppState& state = makeState();
        FakePanelController panel;
        c.arrange(state, panel);
        auto inputs = StatusMenu::readInputs(state, panel);
        // Calibration runs belong to the state; the menu only reads the flag.
        inputs.isCalibrating = std::string_view(c.name) == "calibrating";
        const auto menu = StatusMenu::build(inputs);
        ASSERT_EQ(menu.size(), 19u);
        EXPECT_EQ(find(menu, "togglePanel")->title, c.panelTitle);
        EXPECT_EQ(find(menu, "playPause")->title, c.playTitle);
        EXPECT_EQ(find(menu, "calibrate")->title, c.calibrateTitle);
        EXPECT_EQ(find(menu, "calibrate")->isEnabled, c.calibrateEnabled);
        EXPECT_EQ(find(menu, "modeMenu")->submenu.size(), c.modeItems);
        EXPECT_EQ(find(menu, "panelPositionMenu")->submenu.size(), c.positionItems);
        EXPECT_EQ(checked(menu), c.checks);
    }
}

TEST_F(StatusMenuTest, SubmenusListModesPlacementsScreensAndMirrorsInOrder) {
    makeState();
    panel_.setScreens({{"eDP-1", "Pantalla integrada"}, {"HDMI-1", "DELL U2720Q"}});
    panel_.fallBackToFloating();
    audio_->setAuthorizationStatus(AudioPermissionStatus::denied);
    state_->setMode(PrompterMode::wordTracking);
    loop_.runUntilIdle();
    const auto menu = StatusMenu::build(StatusMenu::readInputs(*state_, panel_));
    EXPECT_EQ(titles(*find(menu, "modeMenu")),
              (std::vector<std::string>{"Manual", "Velocidad constante", "Activado por voz",
                                        "Sigue mi voz", "—",
                                        "Permitir el micrófono en la configuración del sistema…"}));
    EXPECT_EQ(titles(*find(menu, "panelPositionMenu")),
              (std::vector<std::string>{"Bajo el notch", "Flotante", "Pantalla completa", "—",
                                        "Esta pantalla no tiene notch: el panel está flotante.",
                                        "—", "Los clicks pasan a través", "Fondo de vidrio"}));
    EXPECT_EQ(titles(*find(menu, "screenMenu")),
              (std::vector<std::string>{"Pantalla integrada", "DELL U2720Q"}));
    EXPECT_EQ(titles(*find(menu, "mirrorMenu")),
              (std::vector<std::string>{"Sin espejo", "Espejo horizontal", "Espejo vertical",
                                        "Rotado 180°"}));
    const MenuItem& settings = *find(menu, "preferences");
    ASSERT_TRUE(settings.keyEquivalent);
    EXPECT_EQ(settings.keyEquivalent->key.character, U',');
    EXPECT_EQ(settings.keyEquivalent->modifiers, Shortcuts::EventModifiers::control);
}

// The panel's item showed a fixed Alt+P, also after a rebinding and when another program
// held the keys; it shows the keys that work for its global shortcut, or none.
TEST_F(StatusMenuTest, ThePanelItemShowsItsGlobalShortcutsWorkingKeysOnly) {
    makeState();
    auto inputs = StatusMenu::readInputs(*state_, panel_);
    const auto unbound = StatusMenu::build(inputs);
    EXPECT_FALSE(find(unbound, "togglePanel")->keyEquivalent);
    EXPECT_EQ(find(unbound, "togglePanel")->boundName, "togglePanel");
    const Shortcuts::KeyboardShortcut ctrlShiftK{
        {U'k'}, Shortcuts::EventModifiers::control | Shortcuts::EventModifiers::shift};
    inputs.togglePanelKey = ctrlShiftK;
    EXPECT_EQ(find(StatusMenu::build(inputs), "togglePanel")->keyEquivalent, ctrlShiftK);
}

TEST_F(StatusMenuTest, CommandsReachTheStateThePanelAndTheWindows) {
    makeState();
    perform("playPause");
    EXPECT_EQ(state_->playback.get(), PlaybackState::playing);
    EXPECT_TRUE(panel_.isVisible());
    perform("playPause");
    EXPECT_EQ(state_->playback.get(), PlaybackState::paused);
    EXPECT_EQ(panel_.showCount, 2);  // ordered front before pausing too

    perform("panelMode:fullscreen");
    perform("screen:HDMI-1");
    perform("mirror:vertical");
    perform("mode:manual");
    EXPECT_EQ(panel_.mode(), PanelMode::fullscreen);
    EXPECT_EQ(panel_.movedTo, std::vector<std::string>{"HDMI-1"});
    EXPECT_EQ(state_->theme.get().mirror, MirrorMode::vertical);
    EXPECT_EQ(state_->mode.get(), PrompterMode::manual);

    perform("passThrough");
    EXPECT_TRUE(Prefs::get(Prefs::Keys::passThrough()));
    EXPECT_EQ(panel_.passThroughApplied, 1);

    perform("preferences", true);
    perform("preferences", false);
    perform("about");
    perform("quit");
    EXPECT_EQ(windows_.opened, (std::vector<std::pair<WindowId, bool>>{{WindowId::settings, true},
                                                                       {WindowId::settings, false},
                                                                       {WindowId::about, false}}));
    EXPECT_EQ(windows_.terminated, 1);
}

TEST_F(StatusMenuTest, PasteDoesNothingWithoutTextAndCalibrationAsksTheHook) {
    makeState();
    pasteboard_.setString(" \n ");
    perform("paste");
    EXPECT_FALSE(panel_.isVisible());
    pasteboard_.setString("Texto pegado");
    perform("paste");
    EXPECT_EQ(state_->scriptText.get(), "Texto pegado");
    EXPECT_TRUE(panel_.isVisible());

    perform("calibrate");
    EXPECT_EQ(calibrations_, 1);
}

// The microphone item once did nothing visible on a desktop without a sound settings
// tool: the user now reads why, and only then.
TEST_F(StatusMenuTest, MicrophoneSettingsTellTheUserWhenNothingOpens) {
    makeState();
    perform("microphoneSettings");
    EXPECT_EQ(opened_, (std::vector<std::string>{"x-apple.systempreferences:com.apple.preference."
                                                 "security?Privacy_Microphone"}));
    EXPECT_TRUE(told_.empty()) << "an opened tool needs no words";
    opens_ = false;
    perform("microphoneSettings");
    EXPECT_EQ(
        told_,
        (std::vector<std::string>{DesktopSettings::missingToolText(SettingsPage::microphone)}));
}

}  // namespace
}  // namespace vorela::testing
