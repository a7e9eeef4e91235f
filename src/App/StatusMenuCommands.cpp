#include <map>

#include "App/AppScenes.h"
#include "App/AppState.h"
#include "App/PanelControlling.h"
#include "App/StatusMenu.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Workspace/DesktopSettings.h"
#include "Prefs/Prefs.h"
#include "Script/SampleScript.h"
#include "Window/PanelPlacement.h"

namespace vorela::StatusMenu {
namespace {

inline constexpr std::string_view kMicrophoneSettingsUrl =
    "x-apple.systempreferences:com.apple.preference.security?Privacy_Microphone";

// The value after `prefix` read as an enumeration's raw value.
template <class Enum>
std::optional<Enum> suffixValue(std::string_view action, std::string_view prefix) {
    if (action.substr(0, prefix.size()) != prefix) return std::nullopt;
    return fromRawValue(std::type_identity<Enum>{}, action.substr(prefix.size()));
}

using Command = void (*)(const Commands&, bool isOptionHeld);

const std::map<std::string_view, Command>& plainCommands() {
    static const std::map<std::string_view, Command> table{
        {"togglePanel", [](const Commands& c, bool) { c.panel.toggle(); }},
        {"playPause",
         [](const Commands& c, bool) {
             c.panel.show();
             c.state.togglePlayback();
         }},
        {"restart", [](const Commands& c, bool) { c.state.restart(); }},
        {"calibrate",
         [](const Commands& c, bool) {
             // The item is disabled while a calibration runs; a late click still waits.
             if (!c.state.isCalibrating.get() && c.calibrate) c.calibrate();
         }},
        {"microphoneSettings",
         [](const Commands& c, bool) {
             // An item that does nothing would leave the user waiting: say why instead.
             if (c.openUrl && c.openUrl(std::string(kMicrophoneSettingsUrl))) return;
             if (c.tellUser) {
                 c.tellUser(
                     Bundle::localized(DesktopSettings::missingToolText(SettingsPage::microphone)));
             }
         }},
        {"passThrough",
         [](const Commands& c, bool) {
             Prefs::set(Prefs::Keys::passThrough(), !Prefs::get(Prefs::Keys::passThrough()));
             c.panel.applyPassThrough();
         }},
        {"glassBackground",
         [](const Commands& c, bool) {
             const auto& key = Prefs::Keys::glassBackground();
             Prefs::set(key, !Prefs::get(key));
             c.state.theme.set(Theme::current());
         }},
        {"mainWindow", [](const Commands& c, bool) { c.scenes.openWindow(WindowId::main); }},
        {"paste",
         [](const Commands& c, bool) {
             if (c.state.loadFromPasteboard()) c.panel.show();
         }},
        {"sample",
         [](const Commands& c, bool) {
             c.state.load(SampleScript::text(), SampleScript::title());
             c.panel.show();
         }},
        {"onboarding", [](const Commands& c, bool) { c.scenes.openWindow(WindowId::onboarding); }},
        {"voiceDebug", [](const Commands& c, bool) { c.scenes.openWindow(WindowId::voiceDebug); }},
        {"preferences", [](const Commands& c, bool alt) { c.scenes.openSettings(alt); }},
        {"about", [](const Commands& c, bool) { c.scenes.openWindow(WindowId::about); }},
        {"quit", [](const Commands& c, bool) { c.scenes.terminate(); }},
    };
    return table;
}

}  // namespace

void perform(const Commands& commands, std::string_view action, bool isOptionHeld) {
    if (const auto it = plainCommands().find(action); it != plainCommands().end()) {
        it->second(commands, isOptionHeld);
    } else if (const auto mode = suffixValue<PrompterMode>(action, kModePrefix)) {
        commands.state.setMode(*mode);
    } else if (const auto panelMode = suffixValue<PanelMode>(action, kPanelModePrefix)) {
        commands.panel.setMode(*panelMode);
    } else if (const auto mirror = suffixValue<MirrorMode>(action, kMirrorPrefix)) {
        commands.state.setMirrorMode(*mirror);
    } else if (action.substr(0, kScreenPrefix.size()) == kScreenPrefix) {
        commands.panel.moveToScreen(std::string(action.substr(kScreenPrefix.size())));
    }
}

}  // namespace vorela::StatusMenu
