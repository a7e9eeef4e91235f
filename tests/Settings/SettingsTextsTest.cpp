#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <string>
#include <vector>

#include "Settings/SettingsTexts.h"

namespace vorela {
namespace {

// A desktop with a comma decimal point must not change a single text.
class CommaLocale {
public:
    CommaLocale() : previous_(std::setlocale(LC_ALL, nullptr)) {
        std::setlocale(LC_ALL, "de_DE.UTF-8");
    }
    ~CommaLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

private:
    std::string previous_;
};

TEST(SettingsTextsTest, NumbersReadTheSameUnderACommaLocale) {
    CommaLocale locale;
    struct Case {
        const char* name;
        std::string actual;
        std::string expected;
    } cases[] = {
        {"font size with unit", SettingsTexts::sliderValue(28, "%.0f", "pt"), "28 pt"},
        {"spacing without unit", SettingsTexts::sliderValue(1.3, "%.1f"), "1.3"},
        {"matcher parameter", SettingsTexts::sliderValue(0.555, "%.2f"), "0.56"},
        {"sensitivity cut, not rounded", SettingsTexts::wholeNumber(50.9), "50"},
        {"sensitivity at the top", SettingsTexts::wholeNumber(100), "100"},
        {"negative fraction cut toward zero", SettingsTexts::wholeNumber(-0.7), "0"},
        {"not a number", SettingsTexts::wholeNumber(std::nan("")), "0"},
        {"huge value stays defined", SettingsTexts::wholeNumber(1e300), "9223372036854775807"},
        {"default noise floor", SettingsTexts::noiseFloor(-50), "-50.0 dBFS"},
        {"noise floor rounded", SettingsTexts::noiseFloor(-47.26), "-47.3 dBFS"},
        {"measured pace", *SettingsTexts::measuredPace(143.8), "Tu ritmo medido: 143 ppm"},
        {"level while speaking", SettingsTexts::level(0.5, true), "0.50  · hablando"},
        {"level while silent", SettingsTexts::level(0.5, false), "0.50  "},
        {"latency", SettingsTexts::latency(0.2346), "235 ms"},
        {"no latency", SettingsTexts::latency(0), "0 ms"},
        {"matcher rate", SettingsTexts::measuredRate(139.6), "140 ppm"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.actual, c.expected);
    }
    EXPECT_FALSE(SettingsTexts::measuredPace(std::nullopt)) << "no pace before onboarding";
}

TEST(SettingsTextsTest, StatesReadAsTheirTexts) {
    using Status = AudioSession::Status;
    struct Case {
        const char* name;
        Status status;
        const char* expected;
    } cases[] = {
        {"idle", Status::idle(), "detenido"},
        {"running", Status::running(), "corriendo"},
        {"denied", Status::denied(), "permiso denegado"},
        {"no device", Status::noInputDevice(), "sin dispositivo de entrada"},
        {"failed", Status::failed("dispositivo ocupado"), "error: dispositivo ocupado"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SettingsTexts::micStatus(c.status), c.expected);
    }
    EXPECT_EQ(SettingsTexts::engineName(""), "sin arrancar");
    EXPECT_EQ(SettingsTexts::engineName("SpeechAnalyzer"), "SpeechAnalyzer");
}

TEST(SettingsTextsTest, TranscriptShowsTheNewestSixtyWordsOrAPlaceholder) {
    std::vector<std::string> words;
    for (int i = 0; i < 75; ++i) words.push_back("p" + std::to_string(i));
    const auto shown = SettingsTexts::liveTranscript(words, true);
    EXPECT_FALSE(shown.isPlaceholder);
    EXPECT_EQ(shown.text.substr(0, 4), "p15 ");
    EXPECT_EQ(shown.text.substr(shown.text.size() - 4), " p74");
    EXPECT_EQ(std::count(shown.text.begin(), shown.text.end(), ' '), 59);

    EXPECT_EQ(SettingsTexts::liveTranscript({"hola", "mundo"}, false).text, "hola mundo");
    const auto listening = SettingsTexts::liveTranscript({}, true);
    EXPECT_TRUE(listening.isPlaceholder);
    EXPECT_EQ(listening.text, "Escuchando… hablá y las palabras van a ir apareciendo acá.");
    EXPECT_NE(SettingsTexts::liveTranscript({}, false).text.find("Pulsá Escuchar"),
              std::string::npos);
}

}  // namespace
}  // namespace vorela
