#include "Platform/Speech/Fake/FakeSpeechRecognizer.h"

namespace vorela {

struct FakeSpeechRecognizer::State {
    mutable std::mutex mutex;
    std::set<std::string> unknown;
    bool isAvailable = true;
    bool supportsOnDevice = true;
    std::vector<std::shared_ptr<Task>> tasks;
    std::shared_ptr<const SpeechScript> script;
    std::function<void(Step)> onStep;

    void step(Step which) {
        std::function<void(Step)> callback;
        {
            std::lock_guard guard(mutex);
            callback = onStep;
        }
        if (callback) callback(which);
    }
};

class FakeSpeechRecognizer::Request final : public SpeechRecognitionRequest {
public:
    Request(std::shared_ptr<State> state, std::shared_ptr<Task> task)
        : state_(std::move(state)), task_(std::move(task)) {}
    void append(const std::shared_ptr<const AudioBuffer>& buffer) override {
        std::lock_guard guard(state_->mutex);
        if (!task_->isAudioEnded) task_->audio.push_back(buffer);
    }
    void endAudio() override {
        std::lock_guard guard(state_->mutex);
        task_->isAudioEnded = true;
    }
    const std::shared_ptr<Task>& task() const { return task_; }

private:
    std::shared_ptr<State> state_;
    std::shared_ptr<Task> task_;
};

class FakeSpeechRecognizer::RecognitionTask final : public SpeechRecognitionTask {
public:
    RecognitionTask(std::shared_ptr<State> state, std::shared_ptr<Task> task)
        : state_(std::move(state)), task_(std::move(task)) {}
    void finish() override {
        {
            std::lock_guard guard(state_->mutex);
            task_->isFinished = true;
        }
        state_->step(Step::taskFinished);
    }
    void cancel() override {
        std::lock_guard guard(state_->mutex);
        task_->isCancelled = true;
    }

private:
    std::shared_ptr<State> state_;
    std::shared_ptr<Task> task_;
};

class FakeSpeechRecognizer::Recognizer final : public SpeechRecognizer {
public:
    explicit Recognizer(std::shared_ptr<State> state) : state_(std::move(state)) {}
    bool isAvailable() const override {
        std::lock_guard guard(state_->mutex);
        return state_->isAvailable;
    }
    bool supportsOnDeviceRecognition() const override {
        std::lock_guard guard(state_->mutex);
        return state_->supportsOnDevice;
    }
    std::shared_ptr<SpeechRecognitionRequest> makeRequest(
        const SpeechRecognitionRequestOptions& options) override {
        auto task = std::make_shared<Task>();
        task->options = options;
        return std::make_shared<Request>(state_, std::move(task));
    }
    std::shared_ptr<SpeechRecognitionTask> recognitionTask(
        const std::shared_ptr<SpeechRecognitionRequest>& request, ResultHandler handler) override {
        const auto task = static_cast<Request&>(*request).task();
        {
            std::lock_guard guard(state_->mutex);
            task->handler = std::move(handler);
            state_->tasks.push_back(task);
        }
        state_->step(Step::taskMade);
        return std::make_shared<RecognitionTask>(state_, task);
    }

private:
    std::shared_ptr<State> state_;
};

FakeSpeechRecognizer::FakeSpeechRecognizer() : state_(std::make_shared<State>()) {}
FakeSpeechRecognizer::~FakeSpeechRecognizer() = default;

std::shared_ptr<SpeechRecognizer> FakeSpeechRecognizer::recognizer(const std::string& locale) {
    std::lock_guard guard(state_->mutex);
    if (state_->unknown.count(locale)) return nullptr;
    return std::make_shared<Recognizer>(state_);
}

void FakeSpeechRecognizer::setScript(std::shared_ptr<const SpeechScript> script) {
    std::lock_guard guard(state_->mutex);
    state_->script = std::move(script);
}

void FakeSpeechRecognizer::setUnknownLocales(std::set<std::string> locales) {
    std::lock_guard guard(state_->mutex);
    state_->unknown = std::move(locales);
}
void FakeSpeechRecognizer::setAvailable(bool available) {
    std::lock_guard guard(state_->mutex);
    state_->isAvailable = available;
}
void FakeSpeechRecognizer::setSupportsOnDevice(bool supports) {
    std::lock_guard guard(state_->mutex);
    state_->supportsOnDevice = supports;
}

void FakeSpeechRecognizer::setOnStep(std::function<void(Step)> onStep) {
    std::lock_guard guard(state_->mutex);
    state_->onStep = std::move(onStep);
}

void FakeSpeechRecognizer::deliver(std::size_t index, std::vector<std::string> words,
                                   bool isFinal) {
    SpeechRecognizer::ResultHandler handler;
    {
        std::lock_guard guard(state_->mutex);
        handler = state_->tasks.at(index)->handler;
    }
    handler(SpeechRecognitionResult{std::move(words), isFinal}, std::nullopt);
}

void FakeSpeechRecognizer::fail(std::size_t index, long code, std::string description) {
    SpeechRecognizer::ResultHandler handler;
    {
        std::lock_guard guard(state_->mutex);
        handler = state_->tasks.at(index)->handler;
    }
    handler(std::nullopt, SpeechRecognitionError{code, std::move(description)});
}

std::size_t FakeSpeechRecognizer::taskCount() const {
    std::lock_guard guard(state_->mutex);
    return state_->tasks.size();
}

FakeSpeechRecognizer::Task FakeSpeechRecognizer::task(std::size_t index) const {
    std::lock_guard guard(state_->mutex);
    return *state_->tasks.at(index);
}

std::shared_ptr<const SpeechScript> FakeSpeechRecognizer::script() const {
    std::lock_guard guard(state_->mutex);
    return state_->script;
}

}  // namespace vorela
