#include "Voice/Transcriber.h"

#include "Platform/Loop/RunLoop.h"
#include "Voice/AudioSession.h"

namespace vorela {

void Transcriber::availability(const std::string& localeIdentifier,
                               AvailabilityCompletion completion) {
    std::weak_ptr<Transcriber> weak = weak_from_this();
    TranscriptionEngineFactory::requestAuthorization(
        authorization_,
        [weak, localeIdentifier, completion = std::move(completion)](bool authorised) {
            if (!authorised) return completion(TranscriptionUnavailability::permissionDenied());
            const auto self = weak.lock();
            if (!self) return completion(TranscriptionUnavailability::recognizerUnavailable());
            completion(self->engineUnavailability(localeIdentifier));
        });
}

void Transcriber::start(const std::string& localeIdentifier,
                        const std::shared_ptr<AudioSession>& session, StartCompletion completion) {
    starting();
    const std::uint64_t generation = stopGeneration_;
    std::weak_ptr<Transcriber> weak = weak_from_this();
    std::weak_ptr<AudioSession> weakSession = session;
    availability(localeIdentifier, [weak, weakSession, localeIdentifier, generation,
                                    completion = std::move(completion)](auto reason) {
        const auto self = weak.lock();
        if (!self) return completion(TranscriptionStartResult::finishedStream());
        if (reason) {
            self->refused(*reason);
            return completion(TranscriptionStartResult::failure(
                TranscriptionEngineError::unavailable(std::move(*reason))));
        }
        // stop() came while the permission was asked: nothing may start now.
        if (generation != self->stopGeneration_)
            return completion(TranscriptionStartResult::finishedStream());
        self->stopNow();
        self->begin(localeIdentifier, weakSession.lock(), completion);
    });
}

void Transcriber::stop(std::function<void()> completion) {
    ++stopGeneration_;
    stopNow();
    if (completion) loop_.post(std::move(completion));
}

std::pair<Transcriber::Stream, std::uint64_t> Transcriber::openRun(
    const std::shared_ptr<AudioSession>& session) {
    auto [stream, continuation] = Stream::make();
    std::lock_guard guard(runLock_);
    continuation_ = continuation;
    session_ = session;
    return {std::move(stream), ++runNumber_};
}

void Transcriber::attach(const std::shared_ptr<AudioSession>& session) {
    const Uuid token = Uuid::make();
    if (session) {
        std::weak_ptr<Transcriber> weak = weak_from_this();
        session->consumers().add(
            [weak](const std::shared_ptr<const AudioBuffer>& buffer, const AudioTime&) {
                if (const auto self = weak.lock()) self->append(buffer);
            },
            token);
    }
    std::lock_guard guard(runLock_);
    consumerToken_ = token;
}

bool Transcriber::isCurrent(std::uint64_t run) {
    std::lock_guard guard(runLock_);
    return run == runNumber_;
}

void Transcriber::yield(TranscriptionUpdate update, std::uint64_t run) {
    Stream::Continuation continuation;
    {
        std::lock_guard guard(runLock_);
        if (run != runNumber_) return;  // a late result of a run already stopped
        continuation = continuation_;
    }
    continuation.yield(std::move(update));
}

void Transcriber::reportFailure(TranscriptionUnavailability reason, std::uint64_t run) {
    std::weak_ptr<Transcriber> weak = weak_from_this();
    loop_.post([weak, reason = std::move(reason), run] {
        const auto self = weak.lock();
        if (self && self->isCurrent(run)) self->failureObservers_.notify(reason);
    });
}

void Transcriber::stopNow() {
    std::optional<Uuid> token;
    std::shared_ptr<AudioSession> session;
    {
        std::lock_guard guard(runLock_);
        token = std::exchange(consumerToken_, std::nullopt);
        session = session_.lock();
    }
    if (token && session) session->consumers().remove(*token);
    end();
    Stream::Continuation continuation;
    {
        std::lock_guard guard(runLock_);
        continuation = std::exchange(continuation_, {});
        ++runNumber_;
    }
    continuation.finish();
}

}  // namespace vorela
