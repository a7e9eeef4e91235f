#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "App/AppServices.h"
#include "Platform/Observation/ObserverList.h"
#include "Voice/TranscriptionEngine.h"

namespace vorela {

class RunLoop;

// A transcription engine a test steers: starts succeed or fail as told, may be held
// until the test completes them, and hand out a stream the test yields updates into.
// Completions are posted to the run loop, as the contract says.
class FakeTranscriptionEngine final : public TranscriptionEngine {
public:
    explicit FakeTranscriptionEngine(RunLoop& loop, std::string name = "SpeechAnalyzer");

    std::string engineName() const override { return name_; }
    void availability(const std::string& localeIdentifier,
                      AvailabilityCompletion completion) override;
    void start(const std::string& localeIdentifier, const std::shared_ptr<AudioSession>& session,
               StartCompletion completion) override;
    void stop(std::function<void()> completion) override;
    [[nodiscard]] Subscription observeFailure(FailureObserver observer) override {
        return failureObservers_.add(std::move(observer));
    }
    void setScript(std::shared_ptr<const SpeechScript> script) override {
        script_ = std::move(script);
    }

    // --- test controls ---
    // The next start reports this refusal.
    void failNextStart(TranscriptionUnavailability reason) { nextFailure_ = std::move(reason); }
    // Starts wait for completePendingStart() instead of answering.
    void holdStarts(bool hold) { holdStarts_ = hold; }
    void completePendingStart();
    bool yield(TranscriptionUpdate update) const { return continuation_.yield(std::move(update)); }
    void finishStream() const { continuation_.finish(); }
    // The recogniser gives up in the middle of the run.
    void failRun(const TranscriptionUnavailability& reason) { failureObservers_.notify(reason); }

    bool isRunning() const { return isRunning_; }
    int startCount() const { return startCount_; }
    int stopCount() const { return stopCount_; }
    const std::vector<std::string>& startedLocales() const { return locales_; }
    const std::shared_ptr<const SpeechScript>& script() const { return script_; }

private:
    void answer(StartCompletion completion);

    RunLoop& loop_;
    std::string name_;
    std::optional<TranscriptionUnavailability> nextFailure_;
    bool holdStarts_ = false;
    StartCompletion pending_;
    TranscriptionStartResult::Stream::Continuation continuation_;
    bool isRunning_ = false;
    int startCount_ = 0;
    int stopCount_ = 0;
    std::vector<std::string> locales_;
    std::shared_ptr<const SpeechScript> script_;
    ObserverList<TranscriptionUnavailability> failureObservers_;
};

// The factory the state is given: every engine it makes is kept for the test, and the
// settings below are applied to each new engine.
class FakeTranscriptionEngineFactory {
public:
    explicit FakeTranscriptionEngineFactory(RunLoop& loop) : loop_(loop) {}

    MakeTranscriptionEngine maker();

    // --- test controls ---
    void failStarts(std::optional<TranscriptionUnavailability> reason) {
        failure_ = std::move(reason);
    }
    void holdStarts(bool hold) { hold_ = hold; }
    const std::vector<std::shared_ptr<FakeTranscriptionEngine>>& made() const { return made_; }
    FakeTranscriptionEngine* last() const { return made_.empty() ? nullptr : made_.back().get(); }

private:
    RunLoop& loop_;
    std::optional<TranscriptionUnavailability> failure_;
    bool hold_ = false;
    std::vector<std::shared_ptr<FakeTranscriptionEngine>> made_;
};

}  // namespace vorela
