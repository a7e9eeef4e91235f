#pragma once

#include <cstddef>
#include <string>

#include "App/PlaybackState.h"
#include "Shortcuts/Name.h"
#include "Voice/VoiceStatus.h"

namespace vorela {

class AppState;
class PanelControlling;

// The main window's texts, symbols and rules, without a toolkit: the window only draws
// what these answer and forwards clicks to them.
namespace MainWindowModel {

// The status dot's shade by the voice status; the window maps shades to colours.
enum class DotShade { clear, accent, secondary, green, red };
DotShade matchColor(const VoiceStatus& status);

const char* playPauseSymbol(PlaybackState playback);
std::string playPauseHelp(PlaybackState playback);
// A command's tooltip with its global key when it has one that works: "text (Alt+P)".
std::string withKeyHint(std::string text, const Shortcuts::Name& name);
// The whole words per minute, cut toward zero: 139.9 reads "139 ppm".
std::string rateText(double wordsPerMinute);
// "<index + 1> / <count>".
std::string wordPositionText(long currentTokenIndex, std::size_t tokenCount);
std::string panelToggleTitle(bool isPanelVisible);
const char* panelToggleSymbol(bool isPanelVisible);

// The play/pause button and its Space key: show the panel, then pause while playing,
// else play.
void playPause(AppState& appState, PanelControlling& panel);

}  // namespace MainWindowModel

}  // namespace vorela
