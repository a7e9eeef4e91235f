#include "Settings/SettingsTexts.h"

#include <climits>
#include <cmath>

#include "Platform/Foundation/Format.h"

namespace vorela::SettingsTexts {
namespace {

// Transcripts longer than this show only their newest words.
constexpr std::size_t kTranscriptWords = 60;

}  // namespace

std::string sliderValue(double value, const char* fmt, const std::string& unit) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    std::string text = format(fmt, value);
#pragma GCC diagnostic pop
    return unit.empty() ? text : text + " " + unit;
}

std::string wholeNumber(double value) {
    // Converting a value outside long long is undefined: such values read at the ends.
    long long whole = 0;
    if (std::isnan(value))
        whole = 0;
    else if (value >= static_cast<double>(LLONG_MAX))
        whole = LLONG_MAX;
    else if (value <= static_cast<double>(LLONG_MIN))
        whole = LLONG_MIN;
    else
        whole = static_cast<long long>(std::trunc(value));
    return format("%lld", whole);
}

std::string noiseFloor(double dbfs) { return format("%.1f dBFS", dbfs); }

std::optional<std::string> measuredPace(std::optional<double> wordsPerMinute) {
    if (!wordsPerMinute) return std::nullopt;
    return "Tu ritmo medido: " + wholeNumber(*wordsPerMinute) + " ppm";
}

std::string engineName(const std::string& name) { return name.empty() ? "sin arrancar" : name; }

std::string micStatus(const AudioSession::Status& status) {
    switch (status.kind()) {
        case AudioSession::Status::Kind::idle:
            return "detenido";
        case AudioSession::Status::Kind::running:
            return "corriendo";
        case AudioSession::Status::Kind::denied:
            return "permiso denegado";
        case AudioSession::Status::Kind::noInputDevice:
            return "sin dispositivo de entrada";
        case AudioSession::Status::Kind::failed:
            return "error: " + status.message();
    }
    return {};
}

std::string level(double value, bool isSpeaking) {
    return format("%.2f  %s", value, isSpeaking ? "· hablando" : "");
}

std::string latency(double seconds) { return format("%.0f ms", seconds * 1000); }

std::string measuredRate(double wordsPerMinute) { return format("%.0f ppm", wordsPerMinute); }

Transcript liveTranscript(const std::vector<std::string>& words, bool isTranscribing) {
    if (words.empty()) {
        return {isTranscribing
                    ? "Escuchando… hablá y las palabras van a ir apareciendo acá."
                    : "Pulsá Escuchar y hablá: acá vas a ver, palabra por palabra, lo que "
                      "entiende tu equipo.",
                true};
    }
    const std::size_t first = words.size() > kTranscriptWords ? words.size() - kTranscriptWords : 0;
    std::string text;
    for (std::size_t i = first; i < words.size(); ++i) {
        if (i > first) text += ' ';
        text += words[i];
    }
    return {text, false};
}

}  // namespace vorela::SettingsTexts
