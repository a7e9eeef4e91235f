#include "Onboarding/OnboardingFlow.h"

#include <cmath>
#include <string_view>

#include "App/AppState.h"
#include "App/PanelControlling.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Foundation/Format.h"
#include "Platform/Pasteboard/Pasteboard.h"
#include "Platform/Workspace/DesktopSettings.h"
#include "Prefs/Prefs.h"
#include "Script/Importers/ScriptImporter.h"
#include "Script/SampleScript.h"
#include "Script/Tokenizer.h"
#include "Voice/TranscriptionEngine.h"

namespace vorela {
namespace {

std::string t(std::string_view text) { return Bundle::localized(text); }

// The desktop's URL opener maps this page to its own sound settings, if it has any.
inline constexpr std::string_view kMicrophoneSettingsUrl =
    "x-apple.systempreferences:com.apple.preference.security?Privacy_Microphone";

bool isBlank(const std::string& text) {
    return text.find_first_not_of(" \t\n\r\v\f") == std::string::npos;
}

}  // namespace

OnboardingFlow::OnboardingFlow(AppState& appState, PanelControlling& panel,
                               OnboardingServices services, std::function<void()> onFinish)
    : appState_(appState),
      panel_(panel),
      services_(std::move(services)),
      onFinish_(std::move(onFinish)) {}

OnboardingFlow::~OnboardingFlow() = default;

void OnboardingFlow::requestAndCalibrate() {
    isCalibrating.set(true);
    appState_.requestMicrophonePermission(guard_.bind([this](bool granted) {
        if (!granted) {
            permissionProblem.set(t("Falta el permiso de micrófono."));
            isCalibrating.set(false);
            return;
        }
        // The speech permission is asked here so that the reading test finds it settled;
        // its answer does not stop the calibration.
        TranscriptionEngineFactory::requestAuthorization(
            services_.speechAuthorization, guard_.bind([this](bool) { calibrate(); }));
    }));
}

void OnboardingFlow::calibrate() {
    appState_.calibrateNoiseFloor(
        VoiceCalibration::kNoiseFloorSeconds, guard_.bind([this](std::optional<double> floor) {
            if (floor) {
                calibrationResult.set(noiseFloorText(*floor));
                permissionProblem.set(std::nullopt);
            } else {
                permissionProblem.set(t("No se pudo medir el micrófono."));
            }
            isCalibrating.set(false);
        }));
}

void OnboardingFlow::measureQuality() {
    isMeasuring.set(true);
    appState_.measureRecognitionQuality(
        VoiceCalibration::kReadingSeconds, guard_.bind([this](std::optional<double> wer) {
            qualityResult.set(wer ? qualityText(*wer)
                                  : t("No te escuché. Probá de nuevo, más cerca del micrófono."));
            isMeasuring.set(false);
        }));
}

void OnboardingFlow::advance() {
    const int current = step.get();
    if (current <= 1) {
        step.set(current + 1);
    } else if (current == 2) {
        // Only the emptiness test trims: leading blank lines are the user's to keep.
        if (!isBlank(draft.get())) appState_.load(draft.get(), t("Mi primer guion"));
        panel_.show();
        step.set(3);
    } else {
        finish();
    }
}

void OnboardingFlow::finish() {
    // Return pressed twice before the window closes must not hand over twice.
    if (hasFinished_) return;
    hasFinished_ = true;
    Prefs::set(Prefs::Keys::didFinishOnboarding(), true);
    panel_.show();
    if (onFinish_) onFinish_();
}

void OnboardingFlow::back() {
    if (step.get() >= 1) step.set(step.get() - 1);
}

void OnboardingFlow::pasteFromPasteboard() {
    if (auto text = services_.pasteboard.string()) draft.set(ScriptImporter::clean(*text));
}

void OnboardingFlow::useSampleScript() { draft.set(SampleScript::text()); }

void OnboardingFlow::openMicrophoneSettings() {
    // A link that does nothing would leave the user waiting for a window: say so instead.
    const bool opened = services_.openUrl && services_.openUrl(std::string(kMicrophoneSettingsUrl));
    settingsProblem.set(
        opened ? std::nullopt
               : std::optional(t(DesktopSettings::missingToolText(SettingsPage::microphone))));
}

long OnboardingFlow::wordCount() const {
    const Tokenizer tokenizer(Tokenizer::languageFor(appState_.transcriptionLocale()));
    return static_cast<long>(tokenizer.tokenize(draft.get()).size());
}

std::string OnboardingFlow::wordCountText() const {
    return format(t("%lld palabras").c_str(), static_cast<long long>(wordCount()));
}

std::string OnboardingFlow::primaryButtonTitle() const {
    return isLastStep() ? t("Empezar") : t("Continuar");
}

std::string OnboardingFlow::calibrateButtonTitle() const {
    return isCalibrating.get() ? t("Escuchando el silencio…") : t("Permitir y calibrar");
}

std::string OnboardingFlow::measureButtonTitle() const {
    return isMeasuring.get() ? t("Escuchando…") : t("Leer la frase");
}

std::string OnboardingFlow::stepDotsLabel() const {
    return format(t("Paso %lld de %lld").c_str(), static_cast<long long>(step.get() + 1),
                  static_cast<long long>(stepCount));
}

OnboardingFlow::KeyTarget OnboardingFlow::keyTarget(Key key, Focus focus) {
    // The editor keeps both keys for typing; Return is otherwise the primary button's
    // default key, and Space presses whichever button has the focus.
    if (focus == Focus::textEditor) return KeyTarget::textEditor;
    if (key == Key::returnKey) return KeyTarget::primaryButton;
    return focus == Focus::button ? KeyTarget::focusedButton : KeyTarget::nothing;
}

std::string OnboardingFlow::noiseFloorText(double noiseFloorDbfs) {
    return format(t("Ruido de fondo: %.0f dBFS").c_str(), noiseFloorDbfs);
}

std::string OnboardingFlow::qualityText(double wordErrorRate) {
    // The nudge keeps a rate like 0.07 at 93: (1 - 0.07) * 100 is 92.99999999999999 in
    // binary floating point, which the cut toward zero would show as 92.
    const double understood = (1 - wordErrorRate) * 100 + 1e-9;
    return format(t("Te entiendo el %d%% de las palabras").c_str(),
                  static_cast<int>(std::trunc(understood)));
}

}  // namespace vorela
