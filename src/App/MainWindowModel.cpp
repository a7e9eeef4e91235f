#include "App/MainWindowModel.h"

#include <cmath>

#include "App/AppState.h"
#include "App/GlobalShortcuts.h"
#include "App/PanelControlling.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Foundation/Format.h"
#include "Shortcuts/Shortcuts.h"

namespace vorela::MainWindowModel {

DotShade matchColor(const VoiceStatus& status) {
    switch (status.kind()) {
        case VoiceStatus::Kind::off:
            return DotShade::clear;
        case VoiceStatus::Kind::preparing:
        case VoiceStatus::Kind::searching:
            return DotShade::accent;
        case VoiceStatus::Kind::ready:
            return DotShade::secondary;
        case VoiceStatus::Kind::following:
            return DotShade::green;
        case VoiceStatus::Kind::lost:
        case VoiceStatus::Kind::problem:
            return DotShade::red;
    }
    return DotShade::clear;
}

const char* playPauseSymbol(PlaybackState playback) {
    return playback == PlaybackState::playing ? "pause.fill" : "play.fill";
}

std::string playPauseHelp(PlaybackState playback) {
    return withKeyHint(
        Bundle::localized(playback == PlaybackState::playing ? "Pausar" : "Reproducir"),
        GlobalShortcuts::togglePlay());
}

std::string withKeyHint(std::string text, const Shortcuts::Name& name) {
    // Read when shown, so a rebinding or a refused grab shows at once.
    if (const auto key = Shortcuts::keyHint(name)) text += " (" + *key + ")";
    return text;
}

std::string rateText(double wordsPerMinute) {
    const double whole = std::isfinite(wordsPerMinute) ? std::trunc(wordsPerMinute) : 0;
    return format("%lld", static_cast<long long>(whole)) + Bundle::localized(" ppm");
}

std::string wordPositionText(long currentTokenIndex, std::size_t tokenCount) {
    return format("%lld / %lld", static_cast<long long>(currentTokenIndex) + 1,
                  static_cast<long long>(tokenCount));
}

std::string panelToggleTitle(bool isPanelVisible) {
    return Bundle::localized(isPanelVisible ? "Ocultar panel" : "Mostrar panel");
}

const char* panelToggleSymbol(bool isPanelVisible) { return isPanelVisible ? "eye.slash" : "eye"; }

void playPause(AppState& appState, PanelControlling& panel) {
    panel.show();
    appState.togglePlayback();
}

}  // namespace vorela::MainWindowModel
