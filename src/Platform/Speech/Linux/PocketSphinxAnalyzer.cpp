#include "Platform/Speech/Linux/PocketSphinxAnalyzer.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <utility>

#include "Platform/Foundation/Format.h"
#include "Platform/Foundation/Utf8.h"
#include "Platform/Speech/Linux/DecoderProcess.h"

namespace vorela {

// One analyser run: audio into the shared decoder, results to this run's handlers.
class PocketSphinxAnalyzer::Run final : public SpeechAnalyzerRun {
public:
    Run(std::weak_ptr<PocketSphinxAnalyzer> owner, std::shared_ptr<Handlers> handlers)
        : owner_(std::move(owner)), handlers_(std::move(handlers)) {}
    ~Run() override {
        if (const auto owner = owner_.lock()) owner->finishRun(handlers_, false);
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
    Run(Run&&) = delete;
    Run& operator=(Run&&) = delete;

    void append(const std::shared_ptr<const AudioBuffer>& buffer) override {
        const float* samples = buffer ? buffer->channelData(0) : nullptr;
        if (!samples || isFinished_.load()) return;
        const auto owner = owner_.lock();
        if (!owner) return;
        Job job;
        job.samples.resize(buffer->frameLength());
        for (std::uint32_t i = 0; i < buffer->frameLength(); ++i) {
            const float clipped = std::clamp(samples[i], -1.0f, 1.0f);  // NaN stays NaN
            job.samples[i] = std::isnan(clipped) ? 0 : static_cast<std::int16_t>(clipped * 32767);
        }
        owner->enqueue(std::move(job));
    }
    void finish() override {
        if (isFinished_.exchange(true)) return;
        if (const auto owner = owner_.lock()) owner->finishRun(handlers_, true);
    }

private:
    std::weak_ptr<PocketSphinxAnalyzer> owner_;
    std::shared_ptr<Handlers> handlers_;
    std::atomic<bool> isFinished_ = false;  // the tap thread reads it
};

PocketSphinxAnalyzer::PocketSphinxAnalyzer(Config config)
    : config_(std::move(config)),
      loadRequests_(config_.locator, config_.garbageWeight, config_.decoderOptions),
      stabilizer_(config_.stabilizing),
      worker_([this] { work(); }) {}

PocketSphinxAnalyzer::~PocketSphinxAnalyzer() {
    {
        std::lock_guard guard(mutex_);
        isStopping_ = true;
    }
    wake_.notify_all();
    decoded_.notify_all();
    worker_.join();
}

bool PocketSphinxAnalyzer::isAvailable() const {
    return access(config_.decoderProgram.c_str(), X_OK) == 0;
}

std::optional<std::string> PocketSphinxAnalyzer::supportedLocale(const std::string& locale) {
    if (!SpeechModelLocator::isKnownLanguage(locale)) return std::nullopt;
    return locale;
}

SpeechAssetStatus PocketSphinxAnalyzer::assetStatus(const std::string& locale) {
    if (!SpeechModelLocator::isKnownLanguage(locale)) return SpeechAssetStatus::unsupported;
    return config_.locator.model(locale) ? SpeechAssetStatus::installed
                                         : SpeechAssetStatus::supported;
}

std::optional<std::string> PocketSphinxAnalyzer::installAsset(const std::string& locale) {
    if (config_.locator.model(locale)) return std::nullopt;
    return config_.missingModelText ? config_.missingModelText(locale) : locale;
}

SpeechAnalyzerService::StartResult PocketSphinxAnalyzer::start(const std::string& locale,
                                                               ResultHandler onResult,
                                                               FailureHandler onFailure) {
    if (!config_.locator.model(locale))
        return config_.missingModelText ? config_.missingModelText(locale) : locale;
    auto handlers = std::make_shared<Handlers>();
    handlers->onResult = std::move(onResult);
    handlers->onFailure = std::move(onFailure);
    {
        std::lock_guard guard(mutex_);
        // A new run tries again what failed before.
        if (locale != locale_ || modelFailure_ || restarts_.hasGivenUp()) needsLoad_ = true;
        modelFailure_.reset();
        restarts_.reset(Clock::now());
        locale_ = locale;
        handlers_ = handlers;
        stabilizer_.reset();
    }
    wake_.notify_all();
    return std::make_unique<Run>(weak_from_this(), std::move(handlers));
}

void PocketSphinxAnalyzer::setScript(std::shared_ptr<const SpeechScript> script) {
    {
        std::lock_guard guard(mutex_);
        script_ = std::move(script);
        needsLoad_ = true;
    }
    wake_.notify_all();
}

void PocketSphinxAnalyzer::setProgressObserver(ProgressObserver observer) {
    std::lock_guard guard(mutex_);
    progress_ = std::move(observer);
}

void PocketSphinxAnalyzer::abortDecoderForTesting() { enqueue(Job{Job::Kind::abort, {}}); }

int PocketSphinxAnalyzer::decoderStarts() const {
    std::lock_guard guard(mutex_);
    return decoderStarts_;
}

std::optional<std::string> PocketSphinxAnalyzer::modelFailure() const {
    std::lock_guard guard(mutex_);
    return modelFailure_;
}

std::optional<std::uint64_t> PocketSphinxAnalyzer::decoderPeakMemoryKB() const {
    std::lock_guard guard(mutex_);
    const auto current = decoderPid_ > 0 ? DecoderProcess::peakMemoryKB(decoderPid_) : std::nullopt;
    if (!current && retiredPeakMemoryKB_ == 0) return std::nullopt;
    return std::max(current.value_or(0), retiredPeakMemoryKB_);
}

bool PocketSphinxAnalyzer::waitUntilDecoded(double timeoutSeconds) {
    std::unique_lock lock(mutex_);
    return decoded_.wait_for(lock, std::chrono::duration<double>(timeoutSeconds),
                             [&] { return samplesConsumed_ >= samplesQueued_; });
}

void PocketSphinxAnalyzer::enqueue(Job job) {
    {
        std::lock_guard guard(mutex_);
        // A decoder without a model would never consume it, and its waiters would hang.
        if (job.kind == Job::Kind::audio && (modelFailure_ || restarts_.hasGivenUp())) return;
        samplesQueued_ += job.samples.size();
        queue_.push_back(std::move(job));
    }
    wake_.notify_all();
}

void PocketSphinxAnalyzer::finishRun(const std::shared_ptr<Handlers>& handlers,
                                     bool decodesToTheEnd) {
    std::unique_lock lock(mutex_);
    // A decoder that is gone closed the utterance as it died: nothing is left to finalize.
    if (decodesToTheEnd && handlers_ == handlers && !isProcessGone_ && !modelFailure_ &&
        !restarts_.hasGivenUp()) {
        const std::uint64_t ticket = ++finalizeTickets_;
        queue_.push_back(Job{Job::Kind::finalize, {}, ticket});
        wake_.notify_all();
        if (!decoded_.wait_for(lock, std::chrono::duration<double>(kFinishSeconds),
                               [&] { return finalizedThrough_ >= ticket || isStopping_; }))
            logger_.error("El decodificador no terminó a tiempo; la última frase se pierde.");
    }
    if (handlers_ == handlers) handlers_.reset();
    // A callback already running ends first, unless it is the one finishing the run.
    if (handlers->caller != std::this_thread::get_id())
        decoded_.wait(lock, [&] { return handlers->inFlight == 0; });
}

void PocketSphinxAnalyzer::work() {
    std::unique_lock lock(mutex_);
    while (!isStopping_) {
        const bool hasFailed = modelFailure_ || restarts_.hasGivenUp();
        const bool canRun = !locale_.empty() && !hasFailed;
        const bool needsProcess = canRun && (!process_ || isProcessGone_);
        if (process_ && isProcessGone_) {
            // Waited for at once: a decoder given up, or one to start later, is no zombie.
            lock.unlock();
            retireProcess();
            lock.lock();
        } else if (needsProcess && Clock::now() < restarts_.restartAt()) {
            wake_.wait_until(lock, restarts_.restartAt());
        } else if (needsProcess) {
            lock.unlock();
            startProcess();
            lock.lock();
        } else if (canRun && needsLoad_) {
            needsLoad_ = false;
            const std::string locale = locale_;
            const auto script = script_;
            lock.unlock();
            load(locale, script);
            lock.lock();
        } else if (!queue_.empty() && canRun) {
            Job job = std::move(queue_.front());
            queue_.pop_front();
            if (job.kind == Job::Kind::finalize) finalizesSent_.push_back(job.ticket);
            lock.unlock();
            send(std::move(job));
            lock.lock();
        } else if (!queue_.empty() && hasFailed) {
            queue_.clear();
            dropWaitingInput();
        } else {
            wake_.wait(lock);
        }
    }
    lock.unlock();
    retireProcess();
}

void PocketSphinxAnalyzer::startProcess() {
    retireProcess();  // joins the old reader, whose exit no longer counts
    std::uint64_t generation = 0;
    {
        std::lock_guard guard(mutex_);
        generation = ++generation_;
        ++decoderStarts_;
    }
    process_ = std::make_unique<DecoderProcess>(
        config_.decoderProgram,
        [this, generation](const decoder::Message& m) { received(generation, m); },
        [this, generation] { exited(generation); });
    std::lock_guard guard(mutex_);
    decoderPid_ = process_->pid();
    isProcessGone_ = false;
    restarts_.started(Clock::now());
    needsLoad_ = true;
    // The new decoder counts from zero; what the old one had is lost with it.
    samplesQueued_ = 0;
    for (const auto& job : queue_) samplesQueued_ += job.samples.size();
    samplesConsumed_ = 0;
    finalizesSent_.clear();
}

void PocketSphinxAnalyzer::send(Job job) {
    bool sent = false;
    switch (job.kind) {
        case Job::Kind::audio:
            sent = process_->send(decoder::encodeAudio(job.samples.data(), job.samples.size()));
            break;
        case Job::Kind::finalize:
            sent = process_->send(decoder::encodeSignal(decoder::MessageType::finalize));
            break;
        case Job::Kind::abort:
            sent = process_->send(decoder::encodeSignal(decoder::MessageType::abort));
            break;
    }
    if (sent || job.kind != Job::Kind::finalize) return;
    // Nobody will answer it; the decoder's exit closes the utterance instead.
    {
        std::lock_guard guard(mutex_);
        std::erase(finalizesSent_, job.ticket);
        finalizedThrough_ = std::max(finalizedThrough_, job.ticket);
    }
    decoded_.notify_all();
}

void PocketSphinxAnalyzer::dropWaitingInput() {
    std::erase_if(queue_, [](const Job& job) { return job.kind == Job::Kind::audio; });
    samplesQueued_ = samplesConsumed_;
    finalizedThrough_ = finalizeTickets_;
    finalizesSent_.clear();
    decoded_.notify_all();
}

void PocketSphinxAnalyzer::retireProcess() {
    if (!process_) return;
    const auto peak = DecoderProcess::peakMemoryKB(process_->pid());
    {
        std::lock_guard guard(mutex_);
        retiredPeakMemoryKB_ = std::max(retiredPeakMemoryKB_, peak.value_or(0));
        decoderPid_ = -1;
    }
    process_.reset();
}

void PocketSphinxAnalyzer::load(const std::string& locale,
                                const std::shared_ptr<const SpeechScript>& script) {
    if (!process_) return;
    if (const auto request = loadRequests_.build(locale, script))
        process_->send(decoder::encode(*request));
}

void PocketSphinxAnalyzer::received(std::uint64_t generation, const decoder::Message& message) {
    using decoder::MessageType;
    if (message.type == MessageType::finalized) {
        {
            std::lock_guard guard(mutex_);
            if (generation != generation_ || finalizesSent_.empty()) return;
            finalizedThrough_ = std::max(finalizedThrough_, finalizesSent_.front());
            finalizesSent_.pop_front();
        }
        decoded_.notify_all();
        return;
    }
    if (message.type == MessageType::progress) {
        const auto progress = decoder::decodeProgress(message);
        if (!progress) return;
        const std::uint64_t samples = progress->samples;
        ProgressObserver observer;
        {
            std::lock_guard guard(mutex_);
            if (generation != generation_) return;
            observer = progress_;
        }
        if (observer) observer(decoder::secondsOfSamples(samples), progress->busySeconds);
        HypothesisStabilizer::Results settled;
        {
            std::lock_guard guard(mutex_);
            if (generation != generation_) return;
            samplesConsumed_ = samples;
            settled = stabilizer_.advance(decoder::secondsOfSamples(samples));
        }
        for (const auto& result : settled) deliver(result);
        decoded_.notify_all();
        return;
    }
    if (message.type == MessageType::error) return failed(generation, message.payload);
    const auto hypothesis = decoder::decodeHypothesis(message);
    if (!hypothesis) return;
    std::vector<SpeechTextRun> runs;
    for (const auto& word : hypothesis->words) runs.push_back({word.text + " ", word.startSeconds});
    HypothesisStabilizer::Results closing;
    {
        std::lock_guard guard(mutex_);
        if (generation != generation_) return;
        if (!hypothesis->isFinal) return stabilizer_.observe(std::move(runs));
        closing = stabilizer_.close(std::move(runs));
    }
    for (const auto& result : closing) deliver(result);
}

void PocketSphinxAnalyzer::exited(std::uint64_t generation) {
    HypothesisStabilizer::Results closing;
    std::optional<std::string> givenUp;
    bool restarts = false;
    {
        std::lock_guard guard(mutex_);
        if (generation != generation_ || isStopping_) return;
        isProcessGone_ = true;
        for (const auto ticket : finalizesSent_)
            finalizedThrough_ = std::max(finalizedThrough_, ticket);
        finalizesSent_.clear();
        closing = stabilizer_.close(std::nullopt);
        // A decoder that said why it could not load the model is not asked again.
        if (!modelFailure_) {
            restarts = restarts_.died(Clock::now());
            if (!restarts) {
                dropWaitingInput();
                givenUp = format(
                    "El decodificador de voz se detuvo %d veces seguidas y no se vuelve a "
                    "arrancar.",
                    restarts_.quickDeaths());
            }
        }
    }
    wake_.notify_all();
    decoded_.notify_all();
    // The words heard so far stay: the interrupted utterance ends with them.
    for (const auto& result : closing) deliver(result);
    if (givenUp) return reportFailure(*givenUp);
    if (restarts) logger_.error("El decodificador de voz se detuvo; se vuelve a arrancar.");
}

void PocketSphinxAnalyzer::failed(std::uint64_t generation, const std::string& message) {
    // The library quotes what it read from a damaged model file, raw bytes included.
    const std::string reason = unicode::printableText(message);
    {
        std::lock_guard guard(mutex_);
        if (generation != generation_) return;
        modelFailure_ = reason;
        // Audio waiting for this model is dropped: the decoder ignores what it was sent,
        // and what is still queued is never sent.
        dropWaitingInput();
        stabilizer_.reset();
    }
    reportFailure(format("El decodificador no cargó el modelo: %s", reason.c_str()));
}

void PocketSphinxAnalyzer::reportFailure(const std::string& text) {
    logger_.error(text);
    callHandlers([&](Handlers& handlers) {
        if (handlers.onFailure) handlers.onFailure(text);
    });
}

void PocketSphinxAnalyzer::deliver(const SpeechAnalyzerResult& result) {
    callHandlers([&](Handlers& handlers) {
        if (handlers.onResult) handlers.onResult(result);
    });
}

void PocketSphinxAnalyzer::callHandlers(const std::function<void(Handlers&)>& call) {
    std::shared_ptr<Handlers> handlers;
    {
        std::lock_guard guard(mutex_);
        handlers = handlers_;
        if (!handlers) return;
        ++handlers->inFlight;
        handlers->caller = std::this_thread::get_id();
    }
    call(*handlers);
    {
        std::lock_guard guard(mutex_);
        if (--handlers->inFlight == 0) handlers->caller = {};
    }
    decoded_.notify_all();
}

}  // namespace vorela
