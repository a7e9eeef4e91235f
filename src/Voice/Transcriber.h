#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "Platform/Observation/ObserverList.h"
#include "Platform/Store/Uuid.h"
#include "Voice/TranscriptionEngine.h"

namespace vorela {

class AudioBuffer;
class RunLoop;

// What both transcribers share: the permission asked before the engine's own checks, a
// start that a stop() overtakes, one buffer consumer in the session's table, the update
// stream of each run, run numbers that retire what a stopped run still delivers, and the
// failure observers. An engine supplies its checks, its start, its end and its consumer.
//
// start() and stop() on the main thread; append() on the tap thread. runLock_ guards the
// fields below it and is never held while an engine hook, a continuation or the session
// table is used; an engine's own lock is never held while it calls in here.
class Transcriber : public TranscriptionEngine, public std::enable_shared_from_this<Transcriber> {
public:
    ~Transcriber() override = default;
    Transcriber(const Transcriber&) = delete;
    Transcriber& operator=(const Transcriber&) = delete;
    Transcriber(Transcriber&&) = delete;
    Transcriber& operator=(Transcriber&&) = delete;

    void availability(const std::string& localeIdentifier, AvailabilityCompletion completion) final;
    void start(const std::string& localeIdentifier, const std::shared_ptr<AudioSession>& session,
               StartCompletion completion) final;
    void stop(std::function<void()> completion) final;
    [[nodiscard]] Subscription observeFailure(FailureObserver observer) final {
        return failureObservers_.add(std::move(observer));
    }

protected:
    using Stream = TranscriptionStartResult::Stream;

    Transcriber(RunLoop& loop, SpeechAuthorization& authorization)
        : loop_(loop), authorization_(authorization) {}

    // A start begins, before the permission is asked.
    virtual void starting() {}
    // The engine's checks once the permission is granted; nothing when it can start.
    virtual std::optional<TranscriptionUnavailability> engineUnavailability(
        const std::string& localeIdentifier) = 0;
    // A start refused by the checks, before the refusal is reported.
    virtual void refused(const TranscriptionUnavailability&) {}
    // Starts recognition (the former run is stopped): openRun(), the recogniser, then
    // attach(), and the completion with the stream.
    virtual void begin(const std::string& localeIdentifier,
                       const std::shared_ptr<AudioSession>& session,
                       StartCompletion completion) = 0;
    // Ends the recogniser once the consumer has left the table; what it still yields
    // reaches the stream, which finishes after it.
    virtual void end() = 0;
    // One tap buffer, on the tap thread.
    virtual void append(const std::shared_ptr<const AudioBuffer>& buffer) = 0;

    // A new run fed from the session: its stream, and its number for yield().
    std::pair<Stream, std::uint64_t> openRun(const std::shared_ptr<AudioSession>& session);
    // This engine's consumer into the session's table (none without a session).
    void attach(const std::shared_ptr<AudioSession>& session);
    // Into the run's stream, unless that run was stopped; any thread.
    void yield(TranscriptionUpdate update, std::uint64_t run);
    // The recogniser gave up on the run: observers hear it on the run loop; any thread.
    void reportFailure(TranscriptionUnavailability reason, std::uint64_t run);
    // Stops what runs: consumer, recogniser, stream. Engines call it from their destructor.
    void stopNow();
    RunLoop& loop() const { return loop_; }
    // This engine, held weakly, as its own type (empty when no shared_ptr owns it).
    template <class Engine>
    std::weak_ptr<Engine> weakAs() {
        return std::static_pointer_cast<Engine>(weak_from_this().lock());
    }

private:
    bool isCurrent(std::uint64_t run);

    RunLoop& loop_;
    SpeechAuthorization& authorization_;
    std::uint64_t stopGeneration_ = 0;  // main thread only; a start resuming after a stop gives up
    ObserverList<TranscriptionUnavailability> failureObservers_;  // main thread only

    std::mutex runLock_;
    std::uint64_t runNumber_ = 0;
    Stream::Continuation continuation_;
    std::optional<Uuid> consumerToken_;
    std::weak_ptr<AudioSession> session_;
};

}  // namespace vorela
