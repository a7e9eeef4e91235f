#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "Matcher/TranscriptionUpdate.h"
#include "Platform/Observation/AsyncStream.h"
#include "Platform/Observation/Subscription.h"
#include "Platform/Speech/SpeechAuthorization.h"
#include "Platform/Speech/SpeechScript.h"

namespace vorela {

class AudioSession;

// Why an engine cannot transcribe a language on this machine now. Equal when the case
// and the payload text are equal.
class TranscriptionUnavailability {
public:
    enum class Kind {
        localeNotSupported,
        modelNotInstalled,
        failed,
        permissionDenied,
        recognizerUnavailable
    };

    static TranscriptionUnavailability localeNotSupported(std::string identifier);
    static TranscriptionUnavailability modelNotInstalled(std::string identifier);
    static TranscriptionUnavailability failed(std::string message);
    static TranscriptionUnavailability permissionDenied();
    static TranscriptionUnavailability recognizerUnavailable();

    Kind kind() const { return kind_; }
    // The locale identifier or the message; empty for the cases without one.
    const std::string& payload() const { return payload_; }
    // The Spanish text shown to the user, looked up in the bundle by the text itself.
    std::string localizedDescription() const;

    bool operator==(const TranscriptionUnavailability&) const = default;

private:
    TranscriptionUnavailability(Kind kind, std::string payload)
        : kind_(kind), payload_(std::move(payload)) {}
    Kind kind_ = Kind::failed;
    std::string payload_;
};

// What start() reports when the engine cannot start: its one case, unavailable, carries
// the reason.
class TranscriptionEngineError {
public:
    static TranscriptionEngineError unavailable(TranscriptionUnavailability reason) {
        return TranscriptionEngineError(std::move(reason));
    }
    const TranscriptionUnavailability& reason() const { return reason_; }
    std::string localizedDescription() const { return reason_.localizedDescription(); }

    bool operator==(const TranscriptionEngineError&) const = default;

private:
    explicit TranscriptionEngineError(TranscriptionUnavailability reason)
        : reason_(std::move(reason)) {}
    TranscriptionUnavailability reason_;
};

// The outcome of start(): a new update stream, the engine's own refusal, or a platform
// failure met while preparing (a model install, the analyser's start) with its text.
class TranscriptionStartResult {
public:
    using Stream = AsyncStream<TranscriptionUpdate>;

    static TranscriptionStartResult success(Stream stream) {
        return TranscriptionStartResult(std::move(stream));
    }
    static TranscriptionStartResult failure(TranscriptionEngineError error) {
        return TranscriptionStartResult(std::move(error));
    }
    // What a start that stop() overtook reports: a stream already finished.
    static TranscriptionStartResult finishedStream() {
        auto [stream, continuation] = Stream::make();
        continuation.finish();
        return success(std::move(stream));
    }
    static TranscriptionStartResult platformFailure(std::string description) {
        return TranscriptionStartResult(std::move(description));
    }

    bool succeeded() const { return std::holds_alternative<Stream>(value_); }
    // Only when succeeded().
    Stream& stream() { return std::get<Stream>(value_); }
    // The engine's refusal, if that is why it did not start.
    std::optional<TranscriptionEngineError> engineError() const;
    // The text to show for a failure; empty on success.
    std::string errorDescription() const;

private:
    using Value = std::variant<Stream, TranscriptionEngineError, std::string>;
    explicit TranscriptionStartResult(Value value) : value_(std::move(value)) {}
    Value value_;
};

// An on-device speech engine fed from the audio session's buffers.
//
// Calling order: create (no work is done), optionally availability(); start() checks
// availability itself and on a reason reports TranscriptionEngineError::unavailable and
// starts nothing; otherwise it stops any run of its own, registers one consumer in the
// session's table, starts the recogniser and hands back a new stream. The stream buffers
// without limit, keeps the engine's order, and is finished only by stop(). stop() removes
// the consumer (while the session exists), ends the recogniser and finishes the stream;
// it is harmless when nothing runs, and the engine may be started again afterwards.
//
// Completions run on the main run loop; a start that stop() overtakes completes with a
// stream that is already finished and leaves nothing running. The engine holds the session weakly;
// recogniser failures during a run are logged by the engine and never reach the stream; a
// failure that ends recognition for good is also reported to the failure observers.
class TranscriptionEngine {
public:
    using AvailabilityCompletion = std::function<void(std::optional<TranscriptionUnavailability>)>;
    using StartCompletion = std::function<void(TranscriptionStartResult)>;
    using FailureObserver = std::function<void(const TranscriptionUnavailability&)>;

    virtual ~TranscriptionEngine() = default;

    // "SFSpeechRecognizer" or "SpeechAnalyzer", for diagnostics and telemetry.
    virtual std::string engineName() const = 0;
    // Nothing when the engine can transcribe that language (e.g. "es-ES") now.
    virtual void availability(const std::string& localeIdentifier,
                              AvailabilityCompletion completion) = 0;
    virtual void start(const std::string& localeIdentifier,
                       const std::shared_ptr<AudioSession>& session,
                       StartCompletion completion) = 0;
    virtual void stop(std::function<void()> completion) = 0;
    // The recogniser gave up in the middle of a run, with the reason to show. Runs on the
    // main run loop; nothing more is heard, and the stream stays open until stop(). An
    // engine whose recogniser never gives up reports nothing.
    [[nodiscard]] virtual Subscription observeFailure(FailureObserver observer) = 0;
    // The loaded script and its language: recognition expects its words. Called whenever
    // the loaded text or the locale changes, before a start and while transcribing alike.
    virtual void setScript(std::shared_ptr<const SpeechScript> script) = 0;
};

// The speech-recognition permission shared by both engines and the onboarding.
struct TranscriptionEngineFactory {
    // Prompts while the status is undetermined and waits for the answer; true only for
    // the authorised status.
    static void requestAuthorization(SpeechAuthorization& authorization,
                                     std::function<void(bool)> completion);
};

// Makes a new transcription engine each time transcription starts; null when the
// platform has none.
using MakeTranscriptionEngine = std::function<std::shared_ptr<TranscriptionEngine>()>;

}  // namespace vorela
