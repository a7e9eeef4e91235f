#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "App/AppState.h"
#include "App/Linux/CapturedTimeline.h"
#include "Platform/Accessibility/Fake/FakeAccessibilitySettings.h"
#include "Platform/Audio/Linux/PortAudioEngine.h"
#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Loop/Linux/QtRunLoop.h"
#include "Platform/Observation/NotificationCenter.h"
#include "Platform/Pasteboard/Fake/FakePasteboard.h"
#include "Platform/Time/Clock.h"
#include "Platform/Updates/Fake/FakeUpdater.h"
#include "Support/FakeTextSurface.h"
#include "Support/PulseServer.h"
#include "Voice/Linux/SystemTranscriptionEngine.h"

namespace vorela {

namespace fs = std::filesystem;
using testing::runProgram;

inline QCoreApplication& application() {
    static int argc = 1;
    static char name[] = "vorela-tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// The central state on the real microphone path: its own PulseAudio server, PortAudio
// through ALSA's pulse plugin, Qt's event loop and the system clock. Sound played into
// the server's sink is what the state hears. Frames are delivered by hand every 20 ms.
class VoiceEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        application();
        if (!pulse_.start()) GTEST_SKIP() << "no PulseAudio server could start here";
        setenv("PULSE_SERVER", pulse_.server().c_str(), 1);
        setenv("PULSE_SOURCE", "vmic_mon", 1);
        previousDefaults_ = UserDefaults::standard();
        UserDefaults::setStandard(defaults_);
        analyzer_ = std::make_shared<PocketSphinxAnalyzer>(systemAnalyzerConfig());
        state_ = std::make_unique<AppState>(AppServices{
            .runLoop = loop_,
            .accessibility = accessibility_,
            .audioEngine = timeline_,
            .workspaceCenter = std::make_shared<NotificationCenter>(loop_),
            .updateFramework = updates_,
            .pasteboard = pasteboard_,
            .makeTranscriptionEngine = makeSystemTranscriptionEngine(loop_, telemetry_, analyzer_),
            .telemetry = telemetry_,
            .updateInfo = [](std::string_view) { return std::optional<std::string>(); },
        });
    }
    void TearDown() override {
        if (player_.joinable()) player_.join();
        state_.reset();
        analyzer_.reset();
        pump(0.1);
        telemetry_.waitUntilIdle();
        if (previousDefaults_) UserDefaults::setStandard(previousDefaults_);
        unsetenv("PULSE_SERVER");
        unsetenv("PULSE_SOURCE");
        std::error_code ignored;
        fs::remove_all(logFolder_, ignored);
    }

    // Runs the event loop for `seconds` of real time, a frame every 20 ms, calling
    // `onFrame` after each.
    void pump(double seconds, const std::function<void()>& onFrame = {}) {
        const double end = clock().uptime() + seconds;
        while (clock().uptime() < end) {
            QEventLoop wait;
            QTimer::singleShot(20, &wait, &QEventLoop::quit);
            wait.exec();
            surface_->fire(clock().uptime());
            if (onFrame) onFrame();
        }
    }

    // Pumps until `done` holds, at most `limitSeconds` of real time.
    void pumpUntil(const std::function<bool()>& done, double limitSeconds) {
        const double end = clock().uptime() + limitSeconds;
        while (!done() && clock().uptime() < end) pump(0.02);
    }

    // Silence, a Spanish sentence, a pause, the sentence again, silence: a 16 kHz WAV.
    // The speech segments' lengths in seconds are returned.
    std::optional<double> makeReading(const std::string& text, double leadSeconds,
                                      double pauseSeconds) {
        const auto wav = [&](const char* name) { return (pulse_.dir() / name).string(); };
        if (runProgram({"espeak-ng", "-v", "es", "-s", "150", "-w", wav("raw.wav"), text}) != 0)
            return std::nullopt;
        const std::vector<std::string> pcm = {"-r", "16000", "-c", "1", "-b", "16"};
        auto sox = [&](std::vector<std::string> head, std::vector<std::string> tail) {
            head.insert(head.end(), pcm.begin(), pcm.end());
            head.insert(head.end(), tail.begin(), tail.end());
            return runProgram(head) == 0;
        };
        const bool made =
            sox({"sox", wav("raw.wav")}, {wav("speech.wav"), "silence", "1", "0.02", "1%",
                                          "reverse", "silence", "1", "0.02", "1%", "reverse"}) &&
            sox({"sox", "-n"}, {wav("lead.wav"), "trim", "0", std::to_string(leadSeconds)}) &&
            sox({"sox", "-n"}, {wav("pause.wav"), "trim", "0", std::to_string(pauseSeconds)}) &&
            runProgram({"sox", wav("lead.wav"), wav("speech.wav"), wav("pause.wav"),
                        wav("speech.wav"), wav("lead.wav"), wav("reading.wav")}) == 0;
        if (!made) return std::nullopt;
        return (fs::file_size(pulse_.dir() / "speech.wav") - 44) / (16000.0 * 2);
    }
    // Plays the reading into the server's sink while the test pumps the event loop.
    void play(const std::string& name = "reading.wav") {
        player_ = std::thread([this, name] {
            runProgram(
                {"paplay", "--latency-msec=250", "--device=vspk", (pulse_.dir() / name).string()},
                pulse_.env());
        });
    }

    static const Clock& clock() { return SystemClock::shared(); }
    static fs::path makeTemporaryFolder() {
        char pattern[] = "/tmp/vorela-e2e-XXXXXX";
        return mkdtemp(pattern);
    }

    testing::PulseServer pulse_;
    QObject context_;
    QtRunLoop loop_{&context_, SystemClock::shared()};
    std::shared_ptr<testing::CapturedTimeline> timeline_ =
        std::make_shared<testing::CapturedTimeline>(std::make_shared<PortAudioEngine>(loop_));
    std::shared_ptr<UserDefaults> defaults_ = UserDefaults::inMemory();
    std::shared_ptr<UserDefaults> previousDefaults_;
    fs::path logFolder_ = makeTemporaryFolder();
    MatcherTelemetry telemetry_{logFolder_, SystemClock::shared()};
    FakeAccessibilitySettings accessibility_;
    FakeUpdateFramework updates_{loop_};
    FakePasteboard pasteboard_;
    std::shared_ptr<FakeTextSurface> surface_ = std::make_shared<FakeTextSurface>();
    std::thread player_;
    std::shared_ptr<PocketSphinxAnalyzer> analyzer_;  // every engine of the state runs on it
    std::unique_ptr<AppState> state_;
};

}  // namespace vorela
