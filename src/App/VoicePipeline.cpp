#include "App/VoicePipeline.h"

#include <algorithm>

#include "App/AppServices.h"
#include "Platform/Foundation/Format.h"
#include "Platform/Loop/RunLoop.h"
#include "Voice/SpeechScriptBuilder.h"
#include "Voice/VoiceProfile.h"

namespace vorela {

namespace {

// Hold time of the speaking flag below the close threshold, in seconds.
constexpr double kHoldTime = 0.35;
// The "heard" telemetry field keeps the newest words only.
constexpr std::size_t kHeardWordsLogged = 6;

std::string joined(const std::vector<std::string>& words, std::size_t from = 0) {
    std::string text;
    for (std::size_t i = from; i < words.size(); ++i) {
        if (!text.empty()) text += ' ';
        text += words[i];
    }
    return text;
}

double clampTo(double value, double low, double high) {
    const double raised = value >= low ? value : low;  // a NaN ends at the lower bound
    return raised <= high ? raised : high;
}

}  // namespace

// The reader of one engine's update stream. Cancelling it stops delivery; a start that
// completes after the cancel finds it cancelled and stops the engine again.
struct VoicePipeline::TranscriptionTask {
    bool isCancelled = false;
    bool isStreaming = false;  // the stream was obtained and has not finished
    bool hasFailed = false;    // the engine did not start, or its stream finished
    Subscription stream;
    Subscription failure;
};

VoicePipeline::VoicePipeline(VoiceStateSink& state, const AppServices& services)
    : state_(state),
      services_(services),
      audioSession_(std::make_shared<AudioSession>(services.runLoop, services.audioEngine,
                                                   services.workspaceCenter)) {
    voiceHandler_ = vad_->setOnUpdate(makeVoiceHandler(*this, meterThrottle_));
    audioStatusObservation_ = audioSession_->observeStatus(guard_.bind([this](const auto& status) {
        // The microphone came back (plugged in again, the sound server restarted).
        if (status.kind() == AudioSession::Status::Kind::running) retryFailedTranscription();
    }));
}

VoicePipeline::~VoicePipeline() = default;

void VoicePipeline::configureDetector(const VoiceProfile& profile) {
    const double s = clampTo(profile.sensitivity, 0, 100);
    VoiceActivityDetector::Config config;
    config.noiseFloor = profile.noiseFloor;
    config.openOffset = 20 - 16 * s / 100;
    config.closeOffset = std::max(config.openOffset - 6, 3.0);
    config.holdTime = kHoldTime;
    vad_->setConfig(config);
}

void VoicePipeline::syncAudioToMode() {
    const PrompterMode mode = state_.currentMode();
    const bool running = audioSession_->status().kind() == AudioSession::Status::Kind::running;
    ++audioStartGeneration_;
    if (usesMicrophone(mode)) {
        // A session already running for a calibration has no consumer of ours yet.
        registerConsumerIfNeeded();
        if (!running) {
            const std::uint64_t generation = audioStartGeneration_;
            audioSession_->start(guard_.bind([this, generation] {
                if (generation != audioStartGeneration_) return;
                if (state_.currentMode() == PrompterMode::wordTracking) startTranscription();
            }));
            if (mode == PrompterMode::voiceActivated) stopTranscription();
            return;
        }
        if (mode == PrompterMode::wordTracking) {
            startTranscription();
        } else {
            stopTranscription();
        }
        return;
    }
    // Whatever the session's status: a start still waiting for permission is abandoned
    // and its consumer does not stay behind. A measurement holding the microphone keeps
    // it until its release.
    removeConsumer();
    if (audioHolds_ == 0) audioSession_->stop();
    state_.publishVoiceActivity(0, false);
    stopTranscription();
}

void VoicePipeline::retryFailedTranscription() {
    if (state_.currentMode() != PrompterMode::wordTracking) return;
    if (!transcriptionTask_ || !transcriptionTask_->hasFailed) return;
    stopTranscription();
    startTranscription();
}

void VoicePipeline::holdAudio(std::function<void()> started) {
    ++audioHolds_;
    audioSession_->start(std::move(started));
}

void VoicePipeline::releaseAudio() {
    if (audioHolds_ == 0) return;
    if (--audioHolds_ > 0 || usesMicrophone(state_.currentMode())) return;
    audioSession_->stop();
}

void VoicePipeline::registerConsumerIfNeeded() {
    if (audioConsumerToken_) return;
    vad_->reset();
    const Uuid token = Uuid::make();
    audioSession_->consumers().add(makeVADConsumer(vad_, services_.runLoop.clock()), token);
    audioConsumerToken_ = token;
}

void VoicePipeline::removeConsumer() {
    if (!audioConsumerToken_) return;
    audioSession_->consumers().remove(*audioConsumerToken_);
    audioConsumerToken_.reset();
}

VoiceActivityDetector::UpdateCallback VoicePipeline::makeVoiceHandler(
    VoicePipeline& pipeline, std::shared_ptr<Throttle> throttle) {
    RunLoop& loop = pipeline.services_.runLoop;
    VoicePipeline* self = &pipeline;
    return [&loop, watch = pipeline.guard_.watch(), self, throttle = std::move(throttle)](
               double level, bool speaking) {
        if (!throttle->shouldFire(speaking, loop.uptime())) return;
        loop.post([watch, self, level, speaking] {
            if (!watch.isAlive()) return;
            // A reading already on its way when the voice modes were left is stale.
            if (!self->audioConsumerToken_) return;
            self->state_.publishVoiceActivity(level, speaking);
        });
    };
}

BufferConsumers::Consumer VoicePipeline::makeVADConsumer(std::shared_ptr<VoiceActivityDetector> vad,
                                                         const Clock& clock) {
    return [vad = std::move(vad), &clock](const std::shared_ptr<const AudioBuffer>& buffer,
                                          const AudioTime&) {
        if (!buffer) return;
        const double t = clock.uptime();
        const auto reading = vad->update(VoiceActivityDetector::decibels(*buffer), t);
        if (const auto callback = vad->onUpdate(); callback && *callback) {
            (*callback)(reading.level, reading.isSpeaking);
        }
    };
}

void VoicePipeline::startTranscription() {
    if (transcriptionTask_) return;
    state_.publishTranscriptionProblem(std::nullopt);
    auto engine = services_.makeTranscriptionEngine ? services_.makeTranscriptionEngine() : nullptr;
    const std::string locale(rawValue(state_.currentTranscriptionLocale()));
    auto task = std::make_shared<TranscriptionTask>();
    transcriptionTask_ = task;
    if (!engine) {
        // No engine on this platform: the same failure an engine reports when its
        // recogniser is missing.
        const std::string reason =
            TranscriptionUnavailability::recognizerUnavailable().localizedDescription();
        task->hasFailed = true;
        state_.publishTranscriptionProblem(reason);
        services_.telemetry.log("transcription.failed", {{"reason", reason}});
        return;
    }
    transcriptionEngine_ = engine;
    std::weak_ptr<TranscriptionTask> weakTask = task;
    task->failure = engine->observeFailure(
        guard_.bind([this, weakTask](const TranscriptionUnavailability& reason) {
            const auto failed = weakTask.lock();
            if (!failed || failed->isCancelled) return;
            failed->hasFailed = true;
            transcriptionFailed(reason.localizedDescription());
        }));
    if (const auto script = expected()) engine->setScript(script);
    state_.publishTranscriptionEngineName(engine->engineName());
    services_.telemetry.log("transcription.start",
                            {{"engine", engine->engineName()}, {"locale", locale}});
    services_.runLoop.post(
        guard_.bind([this, task, engine, locale] { runTranscriptionTask(task, engine, locale); }));
}

void VoicePipeline::runTranscriptionTask(const std::shared_ptr<TranscriptionTask>& task,
                                         const std::shared_ptr<TranscriptionEngine>& engine,
                                         const std::string& locale) {
    if (task->isCancelled) return;
    const bool running = audioSession_->status().kind() == AudioSession::Status::Kind::running;
    services_.telemetry.log("transcription.audio", {{"running", running ? "1" : "0"}});
    engine->start(locale, audioSession_,
                  guard_.bind([this, task, engine](TranscriptionStartResult result) {
                      transcriptionStarted(task, engine, std::move(result));
                  }));
}

void VoicePipeline::transcriptionStarted(const std::shared_ptr<TranscriptionTask>& task,
                                         const std::shared_ptr<TranscriptionEngine>& engine,
                                         TranscriptionStartResult result) {
    if (task->isCancelled) {
        // Stopped while it was starting: it must not keep listening on its own.
        if (result.succeeded()) engine->stop([engine] {});
        return;
    }
    if (!result.succeeded()) {
        task->hasFailed = true;
        return transcriptionFailed(result.errorDescription());
    }
    state_.publishTranscribing(true);
    services_.telemetry.log("transcription.running");
    task->isStreaming = true;
    std::weak_ptr<TranscriptionTask> weakTask = task;
    task->stream = result.stream().forEach(
        services_.runLoop, guard_.bind([this](TranscriptionUpdate update) { apply(update); }),
        guard_.bind([this, weakTask] {
            const auto finished = weakTask.lock();
            if (!finished || !finished->isStreaming) return;
            finished->isStreaming = false;
            finished->hasFailed = true;
            services_.telemetry.log("transcription.streamEnded");
        }));
}

void VoicePipeline::transcriptionFailed(const std::string& reason) {
    state_.publishTranscriptionProblem(reason);
    state_.publishTranscribing(false);
    services_.telemetry.log("transcription.failed", {{"reason", reason}});
}

void VoicePipeline::stopTranscription() {
    if (!transcriptionEngine_ && !transcriptionTask_) return;
    if (const auto task = std::exchange(transcriptionTask_, nullptr)) {
        task->isCancelled = true;
        task->stream.cancel();
        if (std::exchange(task->isStreaming, false))
            services_.telemetry.log("transcription.streamEnded");
    }
    const auto engine = std::exchange(transcriptionEngine_, nullptr);
    state_.publishTranscribing(false);
    state_.publishLiveTranscript({});
    if (engine) {
        services_.runLoop.post([engine] { engine->stop([engine] {}); });
    }
}

void VoicePipeline::setWords(std::shared_ptr<const std::vector<Token>> words,
                             TranscriptionLocale locale) {
    words_ = std::move(words);
    wordsLocale_ = locale;
    script_.reset();
    if (transcriptionEngine_ && !phrase_) {
        if (const auto script = expected()) transcriptionEngine_->setScript(script);
    }
}

void VoicePipeline::releaseWords() {
    words_.reset();
    script_.reset();
}

std::shared_ptr<const SpeechScript> VoicePipeline::expected() {
    if (phrase_) return phrase_;
    if (!script_ && words_) script_ = SpeechScriptBuilder::make(*words_, wordsLocale_);
    return script_;
}

void VoicePipeline::expectInstead(std::shared_ptr<const SpeechScript> phrase) {
    if (phrase == phrase_) return;
    phrase_ = std::move(phrase);
    if (!transcriptionEngine_) return;
    if (const auto script = expected()) transcriptionEngine_->setScript(script);
}

void VoicePipeline::apply(const TranscriptionUpdate& update) {
    RunLoop& loop = services_.runLoop;
    state_.publishLiveTranscript(update.words);
    state_.publishTranscriptionLatency(std::max(loop.uptime() - update.receivedAt, 0.0));
    state_.matchHeard(update, loop.uptime());
    logMatch(update);
    updateObservers_.notify(update);
}

void VoicePipeline::logMatch(const TranscriptionUpdate& update) {
    const ScriptMatcher& matcher = state_.scriptMatcher();
    const auto& words = update.words;
    const std::size_t from =
        words.size() > kHeardWordsLogged ? words.size() - kHeardWordsLogged : 0;
    services_.telemetry.log("match", {{"heard", joined(words, from)},
                                      {"final", update.isFinal ? "1" : "0"},
                                      {"cursor", format("%ld", matcher.cursor())},
                                      {"state", std::string(rawValue(matcher.state()))},
                                      {"score", format("%.2f", matcher.lastScore())},
                                      {"wpm", format("%.0f", matcher.measuredWPM())},
                                      {"ventana", joined(matcher.listeningWindow())},
                                      {"consumidas", format("%ld", matcher.consumedCount())},
                                      {"tokens", format("%zu", state_.scriptTokenCount())},
                                      {"guionMatcher", format("%ld", matcher.tokenCount())}});
}

}  // namespace vorela
