#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Log/Log.h"
#include "Platform/Speech/SpeechRecognizer.h"
#include "Voice/Transcriber.h"

namespace vorela {

// The older engine: recognition tasks of the recogniser layer with partial results. A
// task is recycled every 45 s of task time and after every final result; the newest half
// second of audio is replayed into the next task, and on a time recycle the words heard
// so far are carried into every later update, so the list the matcher sees keeps growing.
//
// start() and stop() on the main thread; the consumer (and a time recycle) on the tap
// thread; results on the recogniser's thread. lock_ guards the fields below it and is
// never held while the recogniser or the shared part is used. Recognition errors are
// logged and the run goes on: it never reports a failure.
class LegacyTranscriber final : public Transcriber {
public:
    static constexpr double kRecycleIntervalSeconds = 45;
    static constexpr double kOverlapDurationSeconds = 0.5;
    // Recogniser codes that mean "nothing was said" or "the task was ended": not errors.
    static bool isSilentErrorCode(long code) { return code == 216 || code == 301 || code == 1110; }

    struct Services {
        RunLoop& loop;
        SpeechAuthorization& authorization;
        std::shared_ptr<SpeechRecognizerProvider> recognizers;
    };

    explicit LegacyTranscriber(Services services);
    ~LegacyTranscriber() override;
    LegacyTranscriber(const LegacyTranscriber&) = delete;
    LegacyTranscriber& operator=(const LegacyTranscriber&) = delete;
    LegacyTranscriber(LegacyTranscriber&&) = delete;
    LegacyTranscriber& operator=(LegacyTranscriber&&) = delete;

    std::string engineName() const override { return "SFSpeechRecognizer"; }
    void setScript(std::shared_ptr<const SpeechScript> script) override;

private:
    std::optional<TranscriptionUnavailability> engineUnavailability(
        const std::string& localeIdentifier) override;
    void begin(const std::string& localeIdentifier, const std::shared_ptr<AudioSession>& session,
               StartCompletion completion) override;
    void end() override;
    void append(const std::shared_ptr<const AudioBuffer>& buffer) override;
    void startTask();
    void recycleTask();
    void handle(std::uint64_t task, const std::optional<SpeechRecognitionResult>& result,
                const std::optional<SpeechRecognitionError>& error);

    Services services_;
    Log logger_{"legacy-transcriber"};

    std::mutex lock_;
    std::shared_ptr<SpeechRecognizer> recognizer_;
    std::shared_ptr<SpeechRecognitionRequest> request_;
    std::shared_ptr<SpeechRecognitionTask> task_;
    std::uint64_t taskNumber_ = 0;  // results of a retired task are ignored
    std::uint64_t run_ = 0;         // of the shared part, for yield()
    std::deque<std::shared_ptr<const AudioBuffer>> overlapBuffers_;
    double overlapSeconds_ = 0;
    double taskStartedAt_ = 0;  // uptime, seconds; 0 = no task yet
    std::vector<std::string> carriedWords_;
    std::vector<std::string> lastWordsOfCurrentTask_;
};

}  // namespace vorela
