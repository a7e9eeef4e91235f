#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "Platform/Audio/AudioConverter.h"
#include "Platform/Log/Log.h"
#include "Platform/Observation/ObserverList.h"
#include "Platform/Speech/SpeechAnalyzer.h"
#include "Platform/Store/Uuid.h"
#include "Voice/TranscriptionEngine.h"

namespace vorela {

class MatcherTelemetry;
class RunLoop;

// The newer engine: the analyser layer's transcriber fed with the session's buffers,
// converted to the analyser's format, every result (volatile ones too) turned into an
// update with word start times when the result has one per word. Each step of a start
// goes to the diagnostic log.
//
// start() and stop() on the main thread; the consumer runs on the tap thread and the
// results on the analyser's thread; lock_ guards the fields below it and is never held
// while the framework, the converter, a continuation or the session table is used.
class ModernTranscriber final : public TranscriptionEngine,
                                public std::enable_shared_from_this<ModernTranscriber> {
public:
    struct Services {
        RunLoop& loop;
        SpeechAuthorization& authorization;
        std::shared_ptr<SpeechAnalyzerService> analyzer;
        MakeAudioConverter makeConverter;
        MatcherTelemetry& telemetry;
    };

    explicit ModernTranscriber(Services services);
    ~ModernTranscriber() override;
    ModernTranscriber(const ModernTranscriber&) = delete;
    ModernTranscriber& operator=(const ModernTranscriber&) = delete;
    ModernTranscriber(ModernTranscriber&&) = delete;
    ModernTranscriber& operator=(ModernTranscriber&&) = delete;

    std::string engineName() const override { return "SpeechAnalyzer"; }
    void availability(const std::string& localeIdentifier,
                      AvailabilityCompletion completion) override;
    void start(const std::string& localeIdentifier, const std::shared_ptr<AudioSession>& session,
               StartCompletion completion) override;
    void stop(std::function<void()> completion) override;
    [[nodiscard]] Subscription observeFailure(FailureObserver observer) override {
        return failureObservers_.add(std::move(observer));
    }
    void setScript(std::shared_ptr<const SpeechScript> script) override;

    // The result's words and, when every word has one, their start times.
    static std::optional<TranscriptionUpdate> updateFor(const SpeechAnalyzerResult& result,
                                                        double receivedAt);
    // Frames of the output buffer for one conversion: the rate ratio times the input
    // frames plus 64, truncated.
    static std::uint32_t outputCapacity(const AudioFormat& from, const AudioFormat& to,
                                        std::uint32_t frames);

private:
    void prepare(const std::string& localeIdentifier, const std::shared_ptr<AudioSession>& session,
                 StartCompletion completion);
    void stopNow();
    void emit(const SpeechAnalyzerResult& result, std::uint64_t run);
    void fail(const std::string& failure, std::uint64_t run);
    void append(const std::shared_ptr<const AudioBuffer>& buffer);

    Services services_;
    Log logger_{"modern-transcriber"};
    // Bumped by every stop(): a start that resumes after one gives up.
    std::uint64_t stopGeneration_ = 0;                            // main thread only
    ObserverList<TranscriptionUnavailability> failureObservers_;  // main thread only

    std::mutex lock_;
    std::shared_ptr<SpeechAnalyzerRun> analyzer_;
    std::uint64_t runNumber_ = 0;  // results of an older run are dropped
    TranscriptionStartResult::Stream::Continuation outputContinuation_;
    std::shared_ptr<AudioConverter> converter_;
    std::optional<AudioFormat> analyzerFormat_;
    std::optional<Uuid> consumerToken_;
    std::weak_ptr<AudioSession> session_;
};

}  // namespace vorela
