#include "App/StatusMenu.h"

#include "App/AppScenes.h"
#include "App/AppState.h"
#include "App/GlobalShortcuts.h"
#include "App/PanelControlling.h"
#include "Platform/Bundle/Bundle.h"
#include "Prefs/Prefs.h"
#include "Voice/AudioSession.h"
#include "Window/PanelPlacement.h"

namespace vorela::StatusMenu {
namespace {

using Shortcuts::EventModifiers;
using Shortcuts::KeyboardShortcut;
using Shortcuts::KeyEquivalent;

std::string t(std::string_view text) { return Bundle::localized(text); }

MenuItem action(std::string title, std::string id) {
    return MenuItem::make(MenuItem::Kind::action, std::move(title), std::move(id));
}

MenuItem choice(std::string title, std::string id, bool isChecked) {
    MenuItem item = action(std::move(title), std::move(id));
    item.isChecked = isChecked;
    return item;
}

MenuItem toggle(std::string title, std::string id, bool isOn) {
    MenuItem item = choice(std::move(title), std::move(id), isOn);
    item.kind = MenuItem::Kind::toggle;
    return item;
}

MenuItem submenu(std::string title, std::string name, std::vector<MenuItem> items) {
    MenuItem item = MenuItem::make(MenuItem::Kind::submenu, std::move(title), std::move(name));
    item.submenu = std::move(items);
    return item;
}

MenuItem withKey(MenuItem item, char32_t key, EventModifiers modifiers) {
    item.keyEquivalent = KeyboardShortcut{KeyEquivalent{key}, modifiers};
    return item;
}

template <class Enum>
std::string id(std::string_view prefix, Enum value) {
    return std::string(prefix) + std::string(rawValue(value));
}

MenuItem modeMenu(const Inputs& in) {
    std::vector<MenuItem> items;
    for (const PrompterMode mode : kAllPrompterModes)
        items.push_back(choice(localizedName(mode), id(kModePrefix, mode), mode == in.mode));
    if (in.isMicrophoneDenied) {
        items.push_back(MenuItem::separator());
        items.push_back(action(t("Permitir el micrófono en la configuración del sistema…"),
                               "microphoneSettings"));
    }
    return submenu(t("Modo"), "modeMenu", std::move(items));
}

MenuItem panelPositionMenu(const Inputs& in) {
    std::vector<MenuItem> items;
    for (const PanelMode mode : kAllPanelModes)
        items.push_back(
            choice(localizedName(mode), id(kPanelModePrefix, mode), mode == in.panelMode));
    if (in.didFallBackToFloating) {
        items.push_back(MenuItem::separator());
        items.push_back(
            MenuItem::label(t("Esta pantalla no tiene notch: el panel está flotante.")));
    }
    items.push_back(MenuItem::separator());
    items.push_back(toggle(t("Los clicks pasan a través"), "passThrough", in.passThrough));
    items.push_back(toggle(t("Fondo de vidrio"), "glassBackground", in.glassBackground));
    return submenu(t("Posición del panel"), "panelPositionMenu", std::move(items));
}

MenuItem screenMenu(const Inputs& in) {
    std::vector<MenuItem> items;
    for (const auto& screen : in.screens)
        items.push_back(action(screen.name, std::string(kScreenPrefix) + screen.id));
    return submenu(t("Pantalla"), "screenMenu", std::move(items));
}

MenuItem mirrorMenu(const Inputs& in) {
    std::vector<MenuItem> items;
    for (const MirrorMode mirror : kAllMirrorModes)
        items.push_back(
            choice(localizedName(mirror), id(kMirrorPrefix, mirror), mirror == in.mirror));
    return submenu(t("Espejo"), "mirrorMenu", std::move(items));
}

}  // namespace

Inputs readInputs(AppState& state, const PanelControlling& panel) {
    return {
        .playback = state.playback.get(),
        .mode = state.mode.get(),
        .isCalibrating = state.isCalibrating.get(),
        .mirror = state.theme.get().mirror,
        .isMicrophoneDenied =
            state.audioSession().status().kind() == AudioSession::Status::Kind::denied,
        .isPanelVisible = panel.isVisible(),
        .panelMode = panel.mode(),
        .didFallBackToFloating = panel.didFallBackToFloating(),
        .screens = panel.availableScreens(),
        .passThrough = Prefs::get(Prefs::Keys::passThrough()),
        .glassBackground = Prefs::get(Prefs::Keys::glassBackground()),
        .togglePanelKey = std::nullopt,  // the shell fills it from its shortcuts context
    };
}

std::vector<MenuItem> build(const Inputs& in) {
    const bool isPlaying = in.playback == PlaybackState::playing;
    const bool isCalibrating = in.isCalibrating;
    MenuItem calibrate = action(
        isCalibrating ? t("Calibrando…") : t("Calibrar micrófono (2 s de silencio)"), "calibrate");
    calibrate.isEnabled = !isCalibrating;
    MenuItem togglePanel =
        action(in.isPanelVisible ? t("Ocultar prompter") : t("Mostrar prompter"), "togglePanel");
    togglePanel.keyEquivalent = in.togglePanelKey;
    togglePanel.boundName = GlobalShortcuts::togglePanel().rawValue();
    // A menu's Command keys are Ctrl keys on a Linux desktop.
    return {
        std::move(togglePanel),
        action(isPlaying ? t("Pausar") : t("Reproducir"), "playPause"),
        action(t("Reiniciar al principio"), "restart"),
        modeMenu(in),
        calibrate,
        panelPositionMenu(in),
        screenMenu(in),
        mirrorMenu(in),
        MenuItem::separator(),
        withKey(action(t("Ventana principal…"), "mainWindow"), U'0', EventModifiers::control),
        action(t("Pegar guion desde el portapapeles"), "paste"),
        action(t("Cargar guion de ejemplo"), "sample"),
        MenuItem::separator(),
        action(t("Volver a ver la bienvenida…"), "onboarding"),
        action(t("Diagnóstico de voz…"), "voiceDebug"),
        withKey(action(t("Preferencias…"), "preferences"), U',', EventModifiers::control),
        MenuItem::separator(),
        action(t("Acerca de Vorela"), "about"),
        withKey(action(t("Salir"), "quit"), U'q', EventModifiers::control),
    };
}

}  // namespace vorela::StatusMenu
