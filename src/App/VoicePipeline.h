#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "App/Throttle.h"
#include "App/VoiceStateSink.h"
#include "Platform/Foundation/LifetimeGuard.h"
#include "Platform/Observation/ObserverList.h"
#include "Platform/Speech/TranscriptionLocale.h"
#include "Platform/Store/Uuid.h"
#include "Script/Token.h"
#include "Voice/AudioSession.h"
#include "Voice/BufferConsumers.h"
#include "Voice/TranscriptionEngine.h"
#include "Voice/VoiceActivityDetector.h"

namespace vorela {

class Clock;
class RunLoop;
struct AppServices;
struct VoiceProfile;

// The part of the central state that ties the mode to the microphone: the voice-activity
// consumer and the audio session for the voice modes, the transcription engine for word
// tracking, the meter published from the audio thread, and recogniser results fed to the
// matcher. Main thread only, except the consumer and the voice handler, which run on the
// audio tap thread and reach the state only by posting to the run loop.
class VoicePipeline {
public:
    // state and services must outlive the pipeline.
    VoicePipeline(VoiceStateSink& state, const AppServices& services);
    ~VoicePipeline();
    VoicePipeline(const VoicePipeline&) = delete;
    VoicePipeline& operator=(const VoicePipeline&) = delete;
    VoicePipeline(VoicePipeline&&) = delete;
    VoicePipeline& operator=(VoicePipeline&&) = delete;

    AudioSession& audioSession() { return *audioSession_; }
    const AudioSession& audioSession() const { return *audioSession_; }
    const VoiceActivityDetector& vad() const { return *vad_; }
    const std::optional<Uuid>& audioConsumerToken() const { return audioConsumerToken_; }
    TranscriptionEngine* transcriptionEngine() const { return transcriptionEngine_.get(); }
    bool hasTranscriptionTask() const { return transcriptionTask_ != nullptr; }
    // The words' script; none until an engine needed it.
    const std::shared_ptr<const SpeechScript>& script() const { return script_; }

    // The detector's thresholds from the profile's noise floor and sensitivity.
    void configureDetector(const VoiceProfile& profile);
    // After the mode was stored: audio, consumer and transcription to fit it.
    void syncAudioToMode();
    // Nothing while a task exists (starting, running, failed or ended).
    void startTranscription();
    // Under word tracking, an engine that failed or ended starts again, as entering the
    // mode would have started it.
    void retryFailedTranscription();
    // Nothing without an engine. The engine is stopped on the run loop afterwards.
    void stopTranscription();
    // The loaded words for recognition. Their script is built when an engine first needs
    // it (a long text's script weighs as much as its words, for nothing outside word
    // tracking) and handed to that engine and every new one.
    void setWords(std::shared_ptr<const std::vector<Token>> words, TranscriptionLocale locale);
    // Lets the words and their script go before new ones are made; a running engine keeps
    // its script until it is handed the next.
    void releaseWords();
    // While set, the engine expects these words instead of the script: a recogniser that
    // knows only the script's words could not hear a phrase outside it. Null gives the
    // script back.
    void expectInstead(std::shared_ptr<const SpeechScript> phrase);
    // One recogniser result into the matcher.
    void apply(const TranscriptionUpdate& update);
    // Every result apply() took, after the state has it.
    [[nodiscard]] Subscription observeUpdates(
        std::function<void(const TranscriptionUpdate&)> observer) {
        return updateObservers_.add(std::move(observer));
    }

    // A measurement needs the microphone until its release, whatever the mode does
    // meanwhile: the session starts unless it runs (completion as AudioSession::start),
    // and the last release stops it unless a voice mode needs it.
    void holdAudio(std::function<void()> started);
    void releaseAudio();

    // The detector's callback on the audio thread: level and flag reach the state through
    // the run loop, at most every Throttle::kInterval unless the flag changes.
    static VoiceActivityDetector::UpdateCallback makeVoiceHandler(
        VoicePipeline& pipeline, std::shared_ptr<Throttle> throttle);
    // The buffer consumer on the audio thread: one level per buffer into the detector.
    static BufferConsumers::Consumer makeVADConsumer(std::shared_ptr<VoiceActivityDetector> vad,
                                                     const Clock& clock);

private:
    struct TranscriptionTask;

    void registerConsumerIfNeeded();
    void removeConsumer();
    void runTranscriptionTask(const std::shared_ptr<TranscriptionTask>& task,
                              const std::shared_ptr<TranscriptionEngine>& engine,
                              const std::string& locale);
    void transcriptionStarted(const std::shared_ptr<TranscriptionTask>& task,
                              const std::shared_ptr<TranscriptionEngine>& engine,
                              TranscriptionStartResult result);
    // A start refused or a run given up: the user reads why; audio and the meter go on.
    void transcriptionFailed(const std::string& reason);
    void logMatch(const TranscriptionUpdate& update);

    VoiceStateSink& state_;
    const AppServices& services_;
    std::shared_ptr<AudioSession> audioSession_;
    std::shared_ptr<VoiceActivityDetector> vad_ = std::make_shared<VoiceActivityDetector>();
    std::shared_ptr<Throttle> meterThrottle_ = std::make_shared<Throttle>();
    std::optional<Uuid> audioConsumerToken_;
    // Bumped by every mode change: an audio start that completes after a later change
    // leaves transcription alone.
    std::uint64_t audioStartGeneration_ = 0;
    std::shared_ptr<const std::vector<Token>> words_;
    TranscriptionLocale wordsLocale_ = TranscriptionLocale::spanishSpain;
    std::shared_ptr<const SpeechScript> script_;  // of words_, once an engine asked
    std::shared_ptr<const SpeechScript> phrase_;
    // What an engine is to expect: the phrase, else the words' script, built now if need be.
    std::shared_ptr<const SpeechScript> expected();
    std::shared_ptr<TranscriptionEngine> transcriptionEngine_;
    std::shared_ptr<TranscriptionTask> transcriptionTask_;
    int audioHolds_ = 0;
    ObserverList<TranscriptionUpdate> updateObservers_;
    // The detector may outlive us inside a consumer still held by the audio thread.
    Subscription voiceHandler_;
    Subscription audioStatusObservation_;  // it reaches everything above
    LifetimeGuard guard_;                  // last
};

}  // namespace vorela
