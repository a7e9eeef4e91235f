#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "App/AppState.h"
#include "Platform/Accessibility/Fake/FakeAccessibilitySettings.h"
#include "Platform/Audio/AudioBuffer.h"
#include "Platform/Audio/Fake/FakeAudioEngine.h"
#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Platform/Observation/NotificationCenter.h"
#include "Platform/Pasteboard/Fake/FakePasteboard.h"
#include "Platform/Updates/Fake/FakeUpdater.h"
#include "Prefs/Prefs.h"
#include "Support/FakeTextSurface.h"
#include "Support/FakeTranscriptionEngine.h"

namespace vorela::testing {

// A central state over fakes: virtual time, an in-memory standard suite with the
// diagnostic log switched on in a temporary folder, a fake microphone, fake engines and
// a fake text view. The state is made by makeState() so a test can store preferences
// first.
class AppStateTest : public ::testing::Test {
protected:
    AppStateTest() {
        previousDefaults_ = UserDefaults::standard();
        UserDefaults::setStandard(defaults_);
        defaults_->set("debugTelemetry", PropertyList(true));
    }
    ~AppStateTest() override {
        state_.reset();
        loop_.runUntilIdle();
        telemetry_.waitUntilIdle();
        UserDefaults::setStandard(previousDefaults_);
        std::error_code ignored;
        std::filesystem::remove_all(logFolder_, ignored);
    }

    AppState& makeState() {
        state_ = std::make_unique<AppState>(AppServices{
            .runLoop = loop_,
            .accessibility = accessibility_,
            .audioEngine = audio_,
            .workspaceCenter = workspace_,
            .updateFramework = updates_,
            .pasteboard = pasteboard_,
            .makeTranscriptionEngine = engines_.maker(),
            .telemetry = telemetry_,
            .updateInfo = [](std::string_view) { return std::optional<std::string>(); },
        });
        return *state_;
    }

    // The state with a text of `words` words ("w0 w1 ..."), shown by a view of one
    // word per 20 pt line whose first frame has been delivered at time 0.
    AppState& makeAttachedState(long words) {
        AppState& state = makeState();
        state.load(numberedWords(words), "prueba");
        surface_->layOut(words, 20);
        state.attach(surface_);
        surface_->fire(0);
        return state;
    }

    // One captured buffer on the calling thread, as the tap thread delivers it: loud
    // (-6 dBFS by default, far above the detector's opening level) or silent.
    bool capture(bool loud, float amplitude = 0.5f) {
        auto buffer = AudioBuffer::make({48000, 1}, 1024);
        float* samples = buffer->mutableChannelData(0);
        for (std::uint32_t i = 0; loud && i < 1024; ++i)
            samples[i] = i % 2 ? amplitude : -amplitude;
        return audio_->pushBuffer(buffer);
    }
    // Buffers at -60, -58 ... -42 dBFS: a calibration's 90th percentile (rank 8 of 0...9)
    // is -44.
    void hearRoom() {
        for (int i = 0; i < 10; ++i)
            capture(true, static_cast<float>(std::pow(10, (-60 + 2 * i) / 20.0)));
    }
    // The same, with the reading published to the state.
    void hear(bool loud) {
        capture(loud);
        loop_.runUntilIdle();
    }

    static std::string numberedWords(long count, const char* stem = "palabra") {
        std::string text;
        for (long i = 0; i < count; ++i)
            text += std::string(i ? " " : "") + stem + std::to_string(i);
        return text;
    }

    // The diagnostic log written so far, one object per line.
    std::vector<nlohmann::json> telemetryRecords() {
        telemetry_.waitUntilIdle();
        std::vector<nlohmann::json> records;
        std::ifstream in(logFolder_ / "telemetry.jsonl");
        for (std::string line; std::getline(in, line);)
            records.push_back(nlohmann::json::parse(line));
        return records;
    }
    std::vector<nlohmann::json> telemetryRecords(const std::string& event) {
        std::vector<nlohmann::json> matching;
        for (auto& record : telemetryRecords()) {
            if (record["event"] == event) matching.push_back(record);
        }
        return matching;
    }

    static std::filesystem::path makeTemporaryFolder() {
        char pattern[] = "/tmp/vorela-appstate-XXXXXX";
        return mkdtemp(pattern);
    }

    ManualRunLoop loop_;
    std::shared_ptr<UserDefaults> defaults_ = UserDefaults::inMemory();
    std::shared_ptr<UserDefaults> previousDefaults_;
    std::filesystem::path logFolder_ = makeTemporaryFolder();
    MatcherTelemetry telemetry_{logFolder_, loop_.clock()};
    FakeAccessibilitySettings accessibility_;
    std::shared_ptr<FakeAudioEngine> audio_ = std::make_shared<FakeAudioEngine>(loop_);
    std::shared_ptr<NotificationCenter> workspace_ = std::make_shared<NotificationCenter>(loop_);
    FakeUpdateFramework updates_{loop_};
    FakePasteboard pasteboard_;
    FakeTranscriptionEngineFactory engines_{loop_};
    std::shared_ptr<FakeTextSurface> surface_ = std::make_shared<FakeTextSurface>();
    std::unique_ptr<AppState> state_;
};

}  // namespace vorela::testing
