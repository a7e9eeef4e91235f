#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "App/AppServices.h"
#include "App/PlaybackState.h"
#include "App/Published.h"
#include "App/ScriptTokens.h"
#include "App/VoiceCalibration.h"
#include "App/VoicePipeline.h"
#include "App/VoiceStateSink.h"
#include "Matcher/ScriptMatcher.h"
#include "Platform/Foundation/LifetimeGuard.h"
#include "Platform/Observation/CallbackSlot.h"
#include "Prefs/Key.h"
#include "Render/HoverMonitor.h"
#include "Render/ScrollEngine.h"
#include "Render/Theme.h"
#include "Voice/PrompterMode.h"
#include "Voice/VoiceProfile.h"
#include "Voice/VoiceStatus.h"
#include "Window/PanelMode.h"

namespace vorela {

class Bookmark;
class PrompterTextSurface;
class Script;

// The one central state: the loaded script and its words, the reading position, the mode
// and playback, the reading rate, the voice state shown to the user, the panel's
// placement mirrors and the theme. It owns the scroll engine, the hover monitor, the
// update controller, the matcher and the voice pipeline, and drives them.
//
// Main thread only. Views read the fields below and observe them; an equal value
// notifies nobody. Every callback the state hands out holds it weakly. The owned objects
// are shown read-only: loads, jumps, resets and mode changes go through the operations
// below, and the voice pipeline reaches the state only through its VoiceStateSink.
class AppState final : private VoiceStateSink {
public:
    explicit AppState(AppServices services);
    ~AppState();
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;
    AppState(AppState&&) = delete;
    AppState& operator=(AppState&&) = delete;

    // --- observed by the views ---
    Published<std::string> scriptText;
    Published<ScriptTokens> tokens;
    Published<std::string> scriptTitle;
    Published<std::shared_ptr<Script>> activeScript;  // the library record loaded last
    Published<long> currentTokenIndex{0};             // the word at the reading position
    Published<PrompterMode> mode{PrompterMode::manual};
    Published<PlaybackState> playback{PlaybackState::stopped};
    Published<double> wpm;  // words per minute, 60...260; assign through setWpm
    Published<bool> isSpeaking{false};
    Published<double> micLevel{0};  // 0...1
    Published<VoiceProfile> voiceProfile;
    Published<std::vector<std::string>> liveTranscript;
    Published<std::optional<std::string>> transcriptionProblem;
    Published<double> transcriptionLatency{0};  // seconds
    // Empty until an engine has started: the settings show "sin arrancar" until then.
    Published<std::string> transcriptionEngineName;
    Published<bool> isTranscribing{false};
    Published<bool> isCalibrating{false};
    Published<MatchState> matchState{MatchState::searching};
    Observable<bool> isPassThroughActive{false};        // written by the panel controller
    Observable<PanelMode> panelMode{PanelMode::notch};  // written by the panel controller
    Observable<double> notchHeight{0};                  // written by the panel controller
    Observable<bool> showsStealthTestPattern{false};    // written by the visibility check
    Published<bool> isHovering{false};
    Observable<Theme> theme;

    // --- loading ---
    // Not a library record: the active script is cleared.
    void load(std::string text, std::string title);
    void load(const std::shared_ptr<Script>& script);
    // False, changing nothing, when the pasteboard holds no text or only white space.
    bool loadFromPasteboard();
    // The library deleted this record: it stops being the active script; the text stays.
    void forgetDeletedScript(const std::shared_ptr<Script>& script);

    // Binds the text view the panel shows; the first view starts the frame clock.
    void attach(const std::shared_ptr<PrompterTextSurface>& view);
    std::shared_ptr<PrompterTextSurface> textView() const { return textView_.lock(); }

    // --- playback ---
    void play();
    void pause();
    // Pauses while playing, else plays (from stopped or paused).
    void togglePlayback();
    void restart();
    void resetScroll();
    // The text view laid the same text out again: the word being read goes back to the
    // reading line at once, not at playback's next move.
    void keepReadingPosition();
    // The one way to change mode, with its audio, panel and matcher effects.
    void setMode(PrompterMode mode);

    // --- position ---
    void jumpToToken(long index);
    // The reader's wheel on the text (delta in points, positive towards the top): leaves
    // the voice modes, then moves the scroll target within the text. Nothing without a
    // text view.
    void scrollManually(double deltaPoints);
    void jumpToNextBookmark();
    void jumpToPreviousBookmark();
    // The active record's bookmarks by word index.
    std::vector<std::shared_ptr<Bookmark>> bookmarks() const;
    double wordPosition() const { return wordPosition_; }
    double progress() const;          // 0...1
    double remainingSeconds() const;  // at wpm, whatever the mode

    VoiceStatus voiceStatus() const;
    // Called with the new status whenever a change of its inputs changes it.
    [[nodiscard]] Subscription observeVoiceStatus(std::function<void(const VoiceStatus&)> callback);
    bool usesMicrophone() const { return vorela::usesMicrophone(mode.get()); }

    // --- setters with effects ---
    void setWpm(double wordsPerMinute);
    TranscriptionLocale transcriptionLocale() const;
    void setTranscriptionLocale(TranscriptionLocale locale);
    MirrorMode mirrorMode() const;
    void setMirrorMode(MirrorMode mirror);
    double micSensitivity() const { return voiceProfile.get().sensitivity; }
    void setMicSensitivity(double sensitivity);

    // --- calibration (completions run on the run loop) ---
    // The new noise floor in dBFS, or nothing when nothing was measured.
    void calibrateNoiseFloor(double durationSeconds, VoiceCalibration::Completion completion) {
        calibration_.calibrateNoiseFloor(durationSeconds, std::move(completion));
    }
    // The word error rate of calibrationPhrase() as read, or nothing when too little was heard.
    void measureRecognitionQuality(double durationSeconds,
                                   VoiceCalibration::Completion completion) {
        calibration_.measureRecognitionQuality(durationSeconds, std::move(completion));
    }
    // The microphone permission, asked while undetermined: true when capture is allowed.
    void requestMicrophonePermission(std::function<void(bool)> completion) {
        voice_.audioSession().requestPermission(std::move(completion));
    }
    static const std::string& calibrationPhrase() { return VoiceCalibration::calibrationPhrase(); }
    static double wordErrorRate(const std::vector<std::string>& expected,
                                const std::vector<std::string>& actual) {
        return VoiceCalibration::wordErrorRate(expected, actual);
    }
    // Installed by the panel controller: show the panel. It stays installed while the
    // subscription lives.
    [[nodiscard]] Subscription setOnRequestShowPanel(std::function<void()> callback) {
        return onRequestShowPanel_.install(std::move(callback));
    }

    // --- owned objects ---
    const ScrollEngine& scrollEngine() const { return scrollEngine_; }
    const HoverMonitor& hoverMonitor() const { return *hoverMonitor_; }
    UpdateController& updates() { return updates_; }
    const ScriptMatcher& matcher() const { return matcher_; }
    // Diagnostics tuning: the running matcher uses it from its next alignment; the next
    // retuning from the voice profile replaces it.
    void setMatcherConfig(const MatcherConfig& config) { matcher_.setConfig(config); }
    const VoicePipeline& voice() const { return voice_; }
    const AudioSession& audioSession() const { return voice_.audioSession(); }
    void startTranscription() { voice_.startTranscription(); }
    void stopTranscription() { voice_.stopTranscription(); }

private:
    // --- VoiceStateSink ---
    PrompterMode currentMode() const override { return mode.get(); }
    TranscriptionLocale currentTranscriptionLocale() const override {
        return transcriptionLocale();
    }
    const ScriptMatcher& scriptMatcher() const override { return matcher_; }
    std::size_t scriptTokenCount() const override { return tokens.get().size(); }
    void publishVoiceActivity(double level, bool speaking) override;
    void publishTranscriptionProblem(std::optional<std::string> problem) override {
        transcriptionProblem.set(std::move(problem));
    }
    void publishTranscriptionEngineName(std::string name) override {
        transcriptionEngineName.set(std::move(name));
    }
    void publishTranscribing(bool value) override { isTranscribing.set(value); }
    void publishLiveTranscript(std::vector<std::string> words) override {
        liveTranscript.set(std::move(words));
    }
    void publishTranscriptionLatency(double seconds) override { transcriptionLatency.set(seconds); }
    void matchHeard(const TranscriptionUpdate& update, double now) override;
    void changeMode(PrompterMode newMode) override { setMode(newMode); }
    const VoiceProfile& currentVoiceProfile() const override { return voiceProfile.get(); }
    void publishVoiceProfile(VoiceProfile profile) override {
        voiceProfile.set(std::move(profile));
    }
    void publishCalibrating(bool value) override { isCalibrating.set(value); }
    void retuneMatcher(const VoiceProfile& profile) override {
        matcher_.setConfig(profile.tuned(MatcherConfig{}));
    }
    ReadingPlace readingPlace() const override {
        return {currentTokenIndex.get(), wordPosition_, scrollEngine_.targetY()};
    }
    void returnTo(const ReadingPlace& place) override;

    void loadText(std::string text, std::string title);
    ScriptTokens tokenize(const std::string& text) const;
    // A new locale reaches the recogniser by a restart, when it is listening.
    void restartTranscription();
    void moveScrollToTop();
    void moveReadingPosition(long index, double position);
    void tick(double dt);
    // True while tick() may move the reading position: the frames must run.
    bool needsTicks() const;
    std::optional<double> scrollOffset(double forWordPosition) const;
    double clampedTarget(double offset, const PrompterTextSurface& view) const;
    void scrollChanged(double y);
    void syncCurrentTokenToScroll();
    void hoverBegan();
    void hoverEnded();

    AppServices services_;
    ScrollEngine scrollEngine_;
    std::weak_ptr<PrompterTextSurface> textView_;
    // Shared so that views hold it weakly: a view that outlives the state finds it gone.
    std::shared_ptr<HoverMonitor> hoverMonitor_;
    UpdateController updates_;
    ScriptMatcher matcher_;
    double wordPosition_ = 0;
    std::uint64_t textRevision_ = 0;
    bool pausedByHover_ = false;
    std::optional<long> lastMatchedIndex_;  // consumed by the next frame
    CallbackSlot<> onRequestShowPanel_;
    // Wake the scroll engine when playback or the mode change.
    std::vector<Subscription> frameNeeds_;
    // Its callbacks reach every field above.
    VoicePipeline voice_;
    // It works through the pipeline.
    VoiceCalibration calibration_{*this, voice_, services_.runLoop};
    LifetimeGuard guard_;  // last
};

// The preference keys of the central state, on the standard suite.
namespace Prefs::Keys {
const Key<double>& wpm();
const Key<PrompterMode>& defaultMode();
const Key<TranscriptionLocale>& transcriptionLocale();
const Key<bool>& openMainWindowAtLaunch();
const Key<bool>& didFinishOnboarding();
}  // namespace Prefs::Keys

}  // namespace vorela
