#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Voice/AudioSession.h"

// The number and state texts of the settings and voice diagnostics windows, formatted the
// same way in every locale.
namespace vorela::SettingsTexts {

// A slider's value text: the value by the printf format, then a blank and the unit when
// there is one ("28 pt", "1.3").
std::string sliderValue(double value, const char* format, const std::string& unit = {});
// "%lld" of the value cut toward zero; a value that is not a number reads 0.
std::string wholeNumber(double value);
std::string noiseFloor(double dbfs);  // "-47.3 dBFS"
std::optional<std::string> measuredPace(std::optional<double> wordsPerMinute);
std::string engineName(const std::string& name);            // "sin arrancar" when empty
std::string micStatus(const AudioSession::Status& status);  // "corriendo", "error: M"
std::string level(double level, bool isSpeaking);           // "0.50  · hablando"
std::string latency(double seconds);                        // "235 ms"
std::string measuredRate(double wordsPerMinute);            // "140 ppm"

// The live transcript area: the newest 60 words joined by blanks, or the placeholder for
// listening or not listening when no word has arrived yet.
struct Transcript {
    std::string text;
    bool isPlaceholder = false;
};
Transcript liveTranscript(const std::vector<std::string>& words, bool isTranscribing);

// Where the recognition happens, said truthfully for this platform.
inline constexpr const char* kProcessing = "en tu equipo, sin conexión";

}  // namespace vorela::SettingsTexts
