#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "Platform/Audio/AudioConverter.h"
#include "Platform/Log/Log.h"
#include "Platform/Speech/SpeechAnalyzer.h"
#include "Voice/Transcriber.h"

namespace vorela {

class MatcherTelemetry;

// The newer engine: the analyser layer's transcriber fed with the session's buffers,
// converted to the analyser's format, every result (volatile ones too) turned into an
// update with word start times when the result has one per word. Each step of a start
// goes to the diagnostic log.
//
// start() and stop() on the main thread; the consumer runs on the tap thread and the
// results on the analyser's thread; lock_ guards the fields below it and is never held
// while the framework, the converter or the shared part is used. A failure that ends the
// analyser's results is logged and reported to the failure observers.
class ModernTranscriber final : public Transcriber {
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
    void setScript(std::shared_ptr<const SpeechScript> script) override;

    // The result's words and, when every word has one, their start times.
    static std::optional<TranscriptionUpdate> updateFor(const SpeechAnalyzerResult& result,
                                                        double receivedAt);
    // Frames of the output buffer for one conversion: the rate ratio times the input
    // frames plus 64, truncated.
    static std::uint32_t outputCapacity(const AudioFormat& from, const AudioFormat& to,
                                        std::uint32_t frames);

private:
    void starting() override;
    std::optional<TranscriptionUnavailability> engineUnavailability(
        const std::string& localeIdentifier) override;
    void refused(const TranscriptionUnavailability& reason) override;
    void begin(const std::string& localeIdentifier, const std::shared_ptr<AudioSession>& session,
               StartCompletion completion) override;
    void end() override;
    void append(const std::shared_ptr<const AudioBuffer>& buffer) override;
    void fail(const std::string& failure, std::uint64_t run);

    Services services_;
    Log logger_{"modern-transcriber"};

    std::mutex lock_;
    std::shared_ptr<SpeechAnalyzerRun> analyzer_;
    std::shared_ptr<AudioConverter> converter_;
    std::optional<AudioFormat> analyzerFormat_;
};

}  // namespace vorela
