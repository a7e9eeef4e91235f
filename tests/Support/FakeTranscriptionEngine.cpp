#include "Support/FakeTranscriptionEngine.h"

#include "Platform/Loop/RunLoop.h"

namespace vorela {

FakeTranscriptionEngine::FakeTranscriptionEngine(RunLoop& loop, std::string name)
    : loop_(loop), name_(std::move(name)) {}

void FakeTranscriptionEngine::availability(const std::string&, AvailabilityCompletion completion) {
    loop_.post([completion = std::move(completion)] { completion(std::nullopt); });
}

void FakeTranscriptionEngine::start(const std::string& localeIdentifier,
                                    const std::shared_ptr<AudioSession>&,
                                    StartCompletion completion) {
    ++startCount_;
    locales_.push_back(localeIdentifier);
    if (holdStarts_) {
        pending_ = std::move(completion);
        return;
    }
    answer(std::move(completion));
}

void FakeTranscriptionEngine::completePendingStart() {
    if (auto completion = std::exchange(pending_, nullptr)) answer(std::move(completion));
}

void FakeTranscriptionEngine::answer(StartCompletion completion) {
    if (auto reason = std::exchange(nextFailure_, std::nullopt)) {
        auto error = TranscriptionEngineError::unavailable(std::move(*reason));
        loop_.post([completion = std::move(completion), error] {
            completion(TranscriptionStartResult::failure(error));
        });
        return;
    }
    continuation_.finish();  // a run of its own ends first
    auto [stream, continuation] = TranscriptionStartResult::Stream::make();
    continuation_ = continuation;
    isRunning_ = true;
    loop_.post([completion = std::move(completion), stream = std::move(stream)]() mutable {
        completion(TranscriptionStartResult::success(std::move(stream)));
    });
}

void FakeTranscriptionEngine::stop(std::function<void()> completion) {
    ++stopCount_;
    isRunning_ = false;
    continuation_.finish();
    if (completion) loop_.post(std::move(completion));
}

MakeTranscriptionEngine FakeTranscriptionEngineFactory::maker() {
    return [this]() -> std::shared_ptr<TranscriptionEngine> {
        auto engine = std::make_shared<FakeTranscriptionEngine>(loop_);
        if (failure_) engine->failNextStart(*failure_);
        engine->holdStarts(hold_);
        made_.push_back(engine);
        return engine;
    };
}

}  // namespace vorela
