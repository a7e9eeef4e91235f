#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Platform/Foundation/LifetimeGuard.h"
#include "Platform/Observation/Observable.h"

namespace vorela {

class AppState;
class PanelControlling;
class Pasteboard;
class SpeechAuthorization;

// What the first-run flow needs of the platform besides the central state and the panel.
// Everything held by reference must outlive the flow.
struct OnboardingServices {
    SpeechAuthorization& speechAuthorization;
    const Pasteboard& pasteboard;
    // The desktop's URL opener; false when nothing could open the link.
    std::function<bool(const std::string& url)> openUrl;
};

// The four-step first run: 0 intro, 1 voice (permissions, noise calibration, recognition
// test), 2 script, 3 ready. The window's views read the fields below and act only through
// the operations; the view state lives as long as the flow, so moving between steps keeps
// it. Main thread only. The measurements' completions hold the flow weakly: once the
// window and its flow are gone, a measurement still runs to its end and writes nothing.
class OnboardingFlow final {
public:
    static constexpr int stepCount = 4;

    // Keys the window gives the flow, and where the control with the focus is.
    enum class Key { returnKey, space };
    enum class Focus { none, button, textEditor };
    // Which control a key press reaches.
    enum class KeyTarget { primaryButton, focusedButton, textEditor, nothing };

    // onFinish runs once, when the user finishes the last step.
    OnboardingFlow(AppState& appState, PanelControlling& panel, OnboardingServices services,
                   std::function<void()> onFinish);
    ~OnboardingFlow();
    OnboardingFlow(const OnboardingFlow&) = delete;
    OnboardingFlow& operator=(const OnboardingFlow&) = delete;
    OnboardingFlow(OnboardingFlow&&) = delete;
    OnboardingFlow& operator=(OnboardingFlow&&) = delete;

    // --- view state ---
    Observable<int> step{0};
    Observable<bool> isCalibrating{false};
    Observable<std::optional<std::string>> calibrationResult;
    Observable<std::optional<std::string>> permissionProblem;
    // Why the microphone settings did not open: this desktop has no tool for them.
    Observable<std::optional<std::string>> settingsProblem;
    Observable<bool> isMeasuring{false};
    Observable<std::optional<std::string>> qualityResult;
    Observable<std::string> draft;
    Observable<bool> appeared{false};

    // --- operations ---
    // Microphone permission, speech permission, then two seconds of room noise.
    void requestAndCalibrate();
    // The user reads the calibration phrase for the reading window.
    void measureQuality();
    // The primary button: forward, loading the draft on the script step, finishing on the last.
    void advance();
    // "Atrás": one step back, from step 1 on.
    void back();
    // "Pegar del portapapeles": the cleaned clipboard text; no text leaves the draft.
    void pasteFromPasteboard();
    // "Usar el guion de ejemplo".
    void useSampleScript();
    // The problem row's link to the microphone settings.
    void openMicrophoneSettings();

    // --- texts and derived state ---
    long wordCount() const;
    std::string wordCountText() const;
    std::string primaryButtonTitle() const;
    std::string calibrateButtonTitle() const;
    std::string measureButtonTitle() const;
    bool showsBackButton() const { return step.get() >= 1; }
    bool isLastStep() const { return step.get() >= stepCount - 1; }
    std::string stepDotsLabel() const;
    static KeyTarget keyTarget(Key key, Focus focus);
    static std::string noiseFloorText(double noiseFloorDbfs);
    static std::string qualityText(double wordErrorRate);

private:
    void calibrate();
    void finish();

    AppState& appState_;
    PanelControlling& panel_;
    OnboardingServices services_;
    std::function<void()> onFinish_;
    bool hasFinished_ = false;
    LifetimeGuard guard_;  // last
};

}  // namespace vorela
