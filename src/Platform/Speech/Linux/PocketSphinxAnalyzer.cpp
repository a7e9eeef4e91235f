#include "Platform/Speech/Linux/PocketSphinxAnalyzer.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <sstream>
#include <utility>

#include "Platform/Foundation/Format.h"
#include "Platform/Speech/Linux/DecoderProcess.h"
#include "Platform/Speech/PocketSphinx/ScriptModelBuilder.h"

namespace vorela {

// One analyser run: audio into the shared decoder, results to this run's handlers.
class PocketSphinxAnalyzer::Run final : public SpeechAnalyzerRun {
public:
    Run(std::weak_ptr<PocketSphinxAnalyzer> owner, std::shared_ptr<Handlers> handlers)
        : owner_(std::move(owner)), handlers_(std::move(handlers)) {}
    ~Run() override {
        const auto owner = owner_.lock();
        if (!owner) return;
        std::lock_guard guard(owner->mutex_);
        if (owner->handlers_ == handlers_) owner->handlers_.reset();
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
        if (const auto owner = owner_.lock()) owner->enqueue(Job{Job::Kind::finalize, {}});
    }

private:
    std::weak_ptr<PocketSphinxAnalyzer> owner_;
    std::shared_ptr<Handlers> handlers_;
    std::atomic<bool> isFinished_ = false;  // the tap thread reads it
};

PocketSphinxAnalyzer::PocketSphinxAnalyzer(Config config)
    : config_(std::move(config)), stabilizer_(config_.stabilizing), worker_([this] { work(); }) {}

PocketSphinxAnalyzer::~PocketSphinxAnalyzer() {
    {
        std::lock_guard guard(mutex_);
        isStopping_ = true;
    }
    wake_.notify_all();
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
    auto handlers = std::make_shared<Handlers>(Handlers{std::move(onResult), std::move(onFailure)});
    {
        std::lock_guard guard(mutex_);
        if (locale != locale_) needsLoad_ = true;
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
        if (job.kind == Job::Kind::audio && modelFailure_) return;
        samplesQueued_ += job.samples.size();
        queue_.push_back(std::move(job));
    }
    wake_.notify_all();
}

void PocketSphinxAnalyzer::work() {
    while (true) {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [&] {
            return isStopping_ || hasDied_ || (needsLoad_ && !locale_.empty()) || !queue_.empty();
        });
        if (isStopping_) break;
        const bool restart = hasDied_ || (!process_ && !locale_.empty());
        if (restart) {
            hasDied_ = false;
            const std::uint64_t generation = ++generation_;
            ++decoderStarts_;
            lock.unlock();
            retireProcess();  // joins the old reader, whose exit no longer counts
            process_ = std::make_unique<DecoderProcess>(
                config_.decoderProgram,
                [this, generation](const decoder::Message& m) { received(generation, m); },
                [this, generation] { exited(generation); });
            lock.lock();
            decoderPid_ = process_->pid();
            needsLoad_ = true;
            // The new decoder counts from zero; what the old one had is lost with it.
            samplesQueued_ = 0;
            for (const auto& job : queue_) samplesQueued_ += job.samples.size();
            samplesConsumed_ = 0;
        }
        if (needsLoad_ && !locale_.empty()) {
            needsLoad_ = false;
            modelFailure_.reset();  // this model may load
            const std::string locale = locale_;
            const auto script = script_;
            lock.unlock();
            load(locale, script);
            continue;
        }
        if (queue_.empty() || !process_) continue;
        Job job = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        switch (job.kind) {
            case Job::Kind::audio:
                process_->send(decoder::MessageType::audio, job.samples.data(),
                               job.samples.size() * sizeof(std::int16_t));
                break;
            case Job::Kind::finalize:
                process_->send(decoder::MessageType::finalize, std::string());
                break;
            case Job::Kind::abort:
                process_->send(decoder::MessageType::abort, std::string());
                break;
        }
    }
    retireProcess();
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
    const auto model = config_.locator.model(locale);
    if (!model || !process_) return;
    ScriptModelBuilder::Options options;
    options.phones = model->phones;
    options.isSpanish = SpeechModelLocator::isSpanish(locale);
    options.garbageWeight = config_.garbageWeight;
    if (model->lexicon) {
        auto& lexicon = lexicons_[*model->lexicon];
        if (!lexicon) {
            auto loaded = PronunciationLexicon::load(*model->lexicon);
            lexicon = std::make_shared<PronunciationLexicon>(loaded ? std::move(*loaded)
                                                                    : PronunciationLexicon());
        }
        options.lexicon = lexicon.get();
    }
    const SpeechScript empty;
    const ScriptModel built = ScriptModelBuilder::build(script ? *script : empty, options);
    std::string payload = model->folder.string();
    payload += '\0';
    payload += built.dictionary;
    payload += '\0';
    payload += built.arpa;
    payload += '\0';
    payload += config_.decoderOptions;
    process_->send(decoder::MessageType::load, payload);
}

void PocketSphinxAnalyzer::received(std::uint64_t generation, const decoder::Message& message) {
    using decoder::MessageType;
    if (message.type == MessageType::progress) {
        unsigned long long samples = 0;
        double busy = 0;
        std::istringstream in(message.payload);
        in >> samples >> busy;
        ProgressObserver observer;
        {
            std::lock_guard guard(mutex_);
            if (generation != generation_) return;
            observer = progress_;
        }
        if (observer) observer(samples / 16000.0, busy);
        HypothesisStabilizer::Results settled;
        {
            std::lock_guard guard(mutex_);
            if (generation != generation_) return;
            samplesConsumed_ = samples;
            settled = stabilizer_.advance(static_cast<double>(samples) / 16000.0);
        }
        for (const auto& result : settled) deliver(result);
        decoded_.notify_all();
        return;
    }
    if (message.type == MessageType::error) return failed(generation, message.payload);
    if (message.type != MessageType::hypothesis) return;
    std::istringstream in(message.payload);
    int isFinal = 0;
    in >> isFinal;
    std::vector<SpeechTextRun> runs;
    std::string word;
    double start = 0;
    while (in >> word >> start) runs.push_back({word + " ", start});
    HypothesisStabilizer::Results closing;
    {
        std::lock_guard guard(mutex_);
        if (generation != generation_) return;
        if (isFinal != 1) return stabilizer_.observe(std::move(runs));
        closing = stabilizer_.close(std::move(runs));
    }
    for (const auto& result : closing) deliver(result);
}

void PocketSphinxAnalyzer::exited(std::uint64_t generation) {
    HypothesisStabilizer::Results closing;
    {
        std::lock_guard guard(mutex_);
        if (generation != generation_ || isStopping_) return;
        hasDied_ = true;
        closing = stabilizer_.close(std::nullopt);
    }
    logger_.error("El decodificador de voz se detuvo; se vuelve a arrancar.");
    wake_.notify_all();
    // The words heard so far stay: the interrupted utterance ends with them.
    for (const auto& result : closing) deliver(result);
}

void PocketSphinxAnalyzer::failed(std::uint64_t generation, const std::string& reason) {
    const std::string text = format("El decodificador no cargó el modelo: %s", reason.c_str());
    std::shared_ptr<Handlers> handlers;
    {
        std::lock_guard guard(mutex_);
        if (generation != generation_) return;
        modelFailure_ = reason;
        // Audio waiting for this model is dropped: the decoder ignores what it was sent,
        // and what is still queued is never sent.
        std::erase_if(queue_, [](const Job& job) { return job.kind == Job::Kind::audio; });
        samplesQueued_ = samplesConsumed_;
        stabilizer_.reset();
        handlers = handlers_;
    }
    decoded_.notify_all();
    logger_.error(text);
    if (handlers && handlers->onFailure) handlers->onFailure(text);
}

void PocketSphinxAnalyzer::deliver(const SpeechAnalyzerResult& result) {
    std::shared_ptr<Handlers> handlers;
    {
        std::lock_guard guard(mutex_);
        handlers = handlers_;
    }
    if (handlers && handlers->onResult) handlers->onResult(result);
}

}  // namespace vorela
