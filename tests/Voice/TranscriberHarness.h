#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "Matcher/MatcherTelemetry.h"
#include "Platform/Audio/AudioBuffer.h"
#include "Platform/Audio/Fake/FakeAudioEngine.h"
#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Platform/Speech/Fake/FakeSpeechAuthorization.h"
#include "Support/RecordingLogSink.h"
#include "Voice/AudioSession.h"
#include "Voice/TranscriptionEngine.h"

namespace vorela::testing {

// What both transcribers run against: virtual time, a session over a fake microphone
// whose consumer table the test feeds, a speech permission, a log sink and the diagnostic
// log switched on in a temporary folder.
class TranscriberHarness {
public:
    TranscriberHarness() {
        previousDefaults_ = UserDefaults::standard();
        UserDefaults::setStandard(defaults_);
        defaults_->set("debugTelemetry", PropertyList(true));
        previousSink_ = Log::setSink(log_);
    }
    ~TranscriberHarness() {
        loop_.runUntilIdle();
        telemetry_.waitUntilIdle();
        Log::setSink(previousSink_);
        UserDefaults::setStandard(previousDefaults_);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    TranscriberHarness(const TranscriberHarness&) = delete;
    TranscriberHarness& operator=(const TranscriberHarness&) = delete;

    // One buffer of `frames` frames into every consumer, as the tap thread would, then
    // the virtual clock moves on by its duration.
    std::shared_ptr<const AudioBuffer> feed(AudioFormat format = {48000, 1},
                                            std::uint32_t frames = 1024) {
        auto buffer = AudioBuffer::make(format, frames);
        session_->consumers().deliver(buffer, {});
        loop_.advanceBy(buffer->duration());
        return buffer;
    }

    // Starts the engine and collects what its stream yields.
    void start(TranscriptionEngine& engine, const std::string& locale = "es-ES") {
        engine.start(locale, session_, [this](TranscriptionStartResult result) {
            startResult_ = std::make_unique<TranscriptionStartResult>(std::move(result));
            if (startResult_->succeeded()) {
                reading_ = startResult_->stream().forEach(
                    loop_, [this](TranscriptionUpdate u) { updates_.push_back(std::move(u)); },
                    [this] { streamFinished_ = true; });
            }
        });
        loop_.runUntilIdle();
    }

    std::vector<std::string> telemetryEvents() {
        telemetry_.waitUntilIdle();
        std::vector<std::string> events;
        std::ifstream in(folder_ / "telemetry.jsonl");
        for (std::string line; std::getline(in, line);) {
            auto record = nlohmann::json::parse(line);
            std::string event = record["event"];
            if (record.contains("razon")) event += " " + record["razon"].get<std::string>();
            events.push_back(event);
        }
        return events;
    }

    static std::filesystem::path makeFolder() {
        char pattern[] = "/tmp/vorela-transcriber-XXXXXX";
        return mkdtemp(pattern);
    }

    ManualRunLoop loop_;
    std::shared_ptr<UserDefaults> defaults_ = UserDefaults::inMemory();
    std::shared_ptr<UserDefaults> previousDefaults_;
    std::shared_ptr<RecordingLogSink> log_ = std::make_shared<RecordingLogSink>();
    std::shared_ptr<LogSink> previousSink_;
    std::filesystem::path folder_ = makeFolder();
    MatcherTelemetry telemetry_{folder_, loop_.clock()};
    FakeSpeechAuthorization authorization_{loop_};
    std::shared_ptr<FakeAudioEngine> audio_ = std::make_shared<FakeAudioEngine>(loop_);
    std::shared_ptr<NotificationCenter> workspace_ = std::make_shared<NotificationCenter>(loop_);
    std::shared_ptr<AudioSession> session_ =
        std::make_shared<AudioSession>(loop_, audio_, workspace_);
    std::unique_ptr<TranscriptionStartResult> startResult_;
    std::vector<TranscriptionUpdate> updates_;
    bool streamFinished_ = false;
    Subscription reading_;
};

}  // namespace vorela::testing
