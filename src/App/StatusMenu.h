#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "App/MenuItem.h"
#include "App/PanelControlling.h"
#include "App/PlaybackState.h"
#include "Render/MirrorMode.h"
#include "Voice/PrompterMode.h"

namespace vorela {

class AppScenes;
class AppState;

// The tray menu: every command of the application, built afresh from the live state each
// time the menu opens, so changes made elsewhere (a shortcut, the main window) show.
namespace StatusMenu {

// Action identifiers; the parameterised ones carry a suffix after the prefix.
inline constexpr std::string_view kModePrefix = "mode:";
inline constexpr std::string_view kPanelModePrefix = "panelMode:";
inline constexpr std::string_view kScreenPrefix = "screen:";
inline constexpr std::string_view kMirrorPrefix = "mirror:";

// Everything the menu shows, read at once when it opens.
struct Inputs {
    PlaybackState playback = PlaybackState::stopped;
    PrompterMode mode = PrompterMode::manual;
    bool isCalibrating = false;
    MirrorMode mirror = MirrorMode::none;
    bool isMicrophoneDenied = false;
    bool isPanelVisible = false;
    PanelMode panelMode = PanelMode::notch;  // configured, not effective
    bool didFallBackToFloating = false;
    std::vector<PanelScreen> screens;
    bool passThrough = false;
    bool glassBackground = false;
    // The keys of the panel's global shortcut while they work: none when unbound or when
    // another program holds them.
    std::optional<Shortcuts::KeyboardShortcut> togglePanelKey;
};

// Everything but the panel's key, which the shortcut context knows.
Inputs readInputs(AppState& state, const PanelControlling& panel);
std::vector<MenuItem> build(const Inputs& inputs);

// What the menu's commands reach beyond the state and the panel.
struct Commands {
    AppState& state;
    PanelControlling& panel;
    AppScenes& scenes;
    std::function<void()> calibrate;  // 2 s of silence
    // The desktop's URL opener; false when nothing could open the link.
    std::function<bool(const std::string&)> openUrl;
    std::function<void(const std::string&)> tellUser;  // a short message, as the tray shows
};

// Runs the action of a chosen item. `isOptionHeld` is whether Alt was down at the click.
// Unknown actions do nothing.
void perform(const Commands& commands, std::string_view action, bool isOptionHeld);

}  // namespace StatusMenu
}  // namespace vorela
