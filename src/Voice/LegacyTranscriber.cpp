#include "Voice/LegacyTranscriber.h"

#include "Platform/Foundation/Format.h"
#include "Platform/Loop/RunLoop.h"
#include "Voice/AudioSession.h"

namespace vorela {

LegacyTranscriber::LegacyTranscriber(Services services)
    : Transcriber(services.loop, services.authorization), services_(std::move(services)) {}

LegacyTranscriber::~LegacyTranscriber() { stopNow(); }

std::optional<TranscriptionUnavailability> LegacyTranscriber::engineUnavailability(
    const std::string& localeIdentifier) {
    const auto recognizer =
        services_.recognizers ? services_.recognizers->recognizer(localeIdentifier) : nullptr;
    if (!recognizer) return TranscriptionUnavailability::localeNotSupported(localeIdentifier);
    if (!recognizer->isAvailable()) return TranscriptionUnavailability::recognizerUnavailable();
    if (!recognizer->supportsOnDeviceRecognition())
        return TranscriptionUnavailability::modelNotInstalled(localeIdentifier);
    return std::nullopt;
}

void LegacyTranscriber::begin(const std::string& localeIdentifier,
                              const std::shared_ptr<AudioSession>& session,
                              StartCompletion completion) {
    auto recognizer = services_.recognizers->recognizer(localeIdentifier);
    auto [stream, run] = openRun(session);
    {
        std::lock_guard guard(lock_);
        recognizer_ = std::move(recognizer);
        carriedWords_.clear();
        run_ = run;
    }
    startTask();
    attach(session);
    completion(TranscriptionStartResult::success(std::move(stream)));
}

void LegacyTranscriber::startTask() {
    std::shared_ptr<SpeechRecognizer> recognizer;
    std::deque<std::shared_ptr<const AudioBuffer>> replay;
    std::uint64_t number = 0;
    {
        std::lock_guard guard(lock_);
        recognizer = recognizer_;
        replay = overlapBuffers_;
        number = ++taskNumber_;
    }
    if (!recognizer) return;
    auto request = recognizer->makeRequest(SpeechRecognitionRequestOptions{});
    std::weak_ptr<LegacyTranscriber> weak = weakAs<LegacyTranscriber>();
    auto task =
        recognizer->recognitionTask(request, [weak, number](const auto& result, const auto& error) {
            if (const auto self = weak.lock()) self->handle(number, result, error);
        });
    std::shared_ptr<SpeechRecognitionRequest> staleRequest = request;
    std::shared_ptr<SpeechRecognitionTask> staleTask = task;
    bool isCurrent = false;
    {
        std::lock_guard guard(lock_);
        // A stop (or a newer task) came while this one was made: it must not be kept
        // running with nobody to end it. A task it replaces is ended instead.
        isCurrent = number == taskNumber_;
        if (isCurrent) {
            staleRequest = std::exchange(request_, request);
            staleTask = std::exchange(task_, task);
            taskStartedAt_ = services_.loop.uptime();
        }
    }
    if (staleTask) staleTask->cancel();
    if (staleRequest) staleRequest->endAudio();
    if (!isCurrent) return;
    for (const auto& buffer : replay) request->append(buffer);
}

void LegacyTranscriber::append(const std::shared_ptr<const AudioBuffer>& buffer) {
    if (!buffer) return;
    const double duration = buffer->duration();
    std::shared_ptr<SpeechRecognitionRequest> request;
    double startedAt = 0;
    {
        std::lock_guard guard(lock_);
        request = request_;
        startedAt = taskStartedAt_;
        // Buffers are immutable once shared, so keeping the reference is keeping a copy.
        overlapBuffers_.push_back(buffer);
        overlapSeconds_ += duration;
        while (overlapSeconds_ > kOverlapDurationSeconds && overlapBuffers_.size() >= 2) {
            overlapSeconds_ -= overlapBuffers_.front()->duration();
            overlapBuffers_.pop_front();
        }
    }
    if (request) request->append(buffer);
    if (startedAt > 0 && services_.loop.uptime() - startedAt >= kRecycleIntervalSeconds) {
        // Only a time recycle carries words: the task ends mid-utterance.
        {
            std::lock_guard guard(lock_);
            carriedWords_.insert(carriedWords_.end(), lastWordsOfCurrentTask_.begin(),
                                 lastWordsOfCurrentTask_.end());
            lastWordsOfCurrentTask_.clear();
        }
        recycleTask();
    }
}

void LegacyTranscriber::recycleTask() {
    std::shared_ptr<SpeechRecognitionRequest> request;
    std::shared_ptr<SpeechRecognitionTask> task;
    {
        std::lock_guard guard(lock_);
        request = std::exchange(request_, nullptr);
        task = std::exchange(task_, nullptr);
    }
    if (request) request->endAudio();
    if (task) task->finish();
    logger_.debug(
        format("Reciclando la tarea de reconocimiento a los %f s", kRecycleIntervalSeconds));
    startTask();
}

void LegacyTranscriber::handle(std::uint64_t task,
                               const std::optional<SpeechRecognitionResult>& result,
                               const std::optional<SpeechRecognitionError>& error) {
    if (error) {
        if (!isSilentErrorCode(error->code))
            logger_.error(
                format("Error de reconocimiento: %s", error->localizedDescription.c_str()));
        return;
    }
    if (!result) return;
    TranscriptionUpdate update;
    update.isFinal = result->isFinal;
    std::uint64_t run = 0;
    {
        std::lock_guard guard(lock_);
        // A retired task's last words are already carried (or were closed by its final).
        if (task != taskNumber_) return;
        lastWordsOfCurrentTask_ = result->segments;
        update.words = carriedWords_;
        update.words.insert(update.words.end(), result->segments.begin(), result->segments.end());
        if (result->isFinal) {
            // The final closes the utterance for the matcher: carrying its words on would
            // count them twice.
            carriedWords_.clear();
            lastWordsOfCurrentTask_.clear();
        }
        run = run_;
    }
    update.receivedAt = services_.loop.uptime();
    yield(std::move(update), run);
    if (result->isFinal) recycleTask();
}

void LegacyTranscriber::end() {
    std::shared_ptr<SpeechRecognitionRequest> request;
    std::shared_ptr<SpeechRecognitionTask> task;
    {
        std::lock_guard guard(lock_);
        // A recycle running on another thread makes no task after this.
        recognizer_.reset();
        task = std::exchange(task_, nullptr);
        request = std::exchange(request_, nullptr);
        overlapBuffers_.clear();
        overlapSeconds_ = 0;
        carriedWords_.clear();
        lastWordsOfCurrentTask_.clear();
        taskStartedAt_ = 0;
        ++taskNumber_;
    }
    if (task) task->cancel();
    if (request) request->endAudio();
}

void LegacyTranscriber::setScript(std::shared_ptr<const SpeechScript> script) {
    if (services_.recognizers) services_.recognizers->setScript(std::move(script));
}

}  // namespace vorela
