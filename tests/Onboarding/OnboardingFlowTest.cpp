#include <cmath>
#include <sstream>

#include "App/AppStateEnvironment.h"
#include "Onboarding/OnboardingFlow.h"
#include "Platform/Speech/Fake/FakeSpeechAuthorization.h"
#include "Platform/Workspace/DesktopSettings.h"
#include "Script/SampleScript.h"
#include "Support/FakePanelController.h"

namespace vorela {
namespace {

class OnboardingFlowTest : public testing::AppStateTest {
protected:
    OnboardingFlow& makeFlow() {
        makeState();
        flow_ = std::make_unique<OnboardingFlow>(*state_, panel_,
                                                 OnboardingServices{speech_, pasteboard_,
                                                                    [this](const std::string& url) {
                                                                        openedUrls_.push_back(url);
                                                                        return opens_;
                                                                    }},
                                                 [this] { ++finishCount_; });
        return *flow_;
    }
    void calibrate(bool withRoom = true) {
        flow_->requestAndCalibrate();
        loop_.runUntilIdle();
        if (withRoom) hearRoom();
        loop_.advanceBy(2);
        loop_.runUntilIdle();
    }
    // The reading test with the given words heard as one final result.
    void read(std::vector<std::string> words) {
        flow_->measureQuality();
        loop_.runUntilIdle();
        EXPECT_TRUE(flow_->isMeasuring.get());
        EXPECT_EQ(flow_->measureButtonTitle(), "Escuchando…");
        loop_.advanceBy(1);
        if (!words.empty()) engines_.last()->yield({std::move(words), true, std::nullopt, 0});
        loop_.runUntilIdle();
        loop_.advanceBy(7);
        loop_.runUntilIdle();
    }
    static std::vector<std::string> phraseWords() {
        std::istringstream in(AppState::calibrationPhrase());
        std::vector<std::string> words;
        for (std::string w; in >> w;) words.push_back(w);
        return words;
    }

    testing::FakePanelController panel_;
    FakeSpeechAuthorization speech_{loop_};
    std::vector<std::string> openedUrls_;
    bool opens_ = true;  // what the desktop's opener answers
    int finishCount_ = 0;
    std::unique_ptr<OnboardingFlow> flow_;
};

TEST_F(OnboardingFlowTest, StepsForwardAndBackKeepTheirState) {
    OnboardingFlow& flow = makeFlow();
    const struct {
        int step;
        bool back;
        const char *primary, *dots;
    } expected[] = {
        {0, false, "Continuar", "Paso 1 de 4"},
        {1, true, "Continuar", "Paso 2 de 4"},
        {2, true, "Continuar", "Paso 3 de 4"},
        {3, true, "Empezar", "Paso 4 de 4"},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.dots);
        EXPECT_EQ(flow.step.get(), e.step);
        EXPECT_EQ(flow.showsBackButton(), e.back);
        EXPECT_EQ(flow.primaryButtonTitle(), e.primary);
        EXPECT_EQ(flow.stepDotsLabel(), e.dots);
        if (e.step == 1) flow.draft.set("hola");
        if (e.step < 3) flow.advance();
    }
    EXPECT_EQ(panel_.showCount, 1) << "the script step shows the panel";
    for (int i = 0; i < 5; ++i) flow.back();
    EXPECT_EQ(flow.step.get(), 0) << "no step before the intro";
    EXPECT_EQ(flow.draft.get(), "hola") << "moving between steps keeps the view state";
    EXPECT_EQ(finishCount_, 0);
    EXPECT_FALSE(Prefs::get(Prefs::Keys::didFinishOnboarding()));
}

TEST_F(OnboardingFlowTest, TheScriptStepLoadsOnlyADraftWithWords) {
    const struct {
        const char* name;
        std::string draft;
        bool loads;
    } cases[] = {
        {"only white space", " \n\t \n", false},
        {"empty", "", false},
        {"leading blank lines are kept", "\n\nHola a todos", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OnboardingFlow& flow = makeFlow();
        state_->load("guion anterior", "Anterior");
        flow.step.set(2);
        flow.draft.set(c.draft);
        const int shown = panel_.showCount;
        flow.advance();
        EXPECT_EQ(flow.step.get(), 3);
        EXPECT_EQ(panel_.showCount, shown + 1) << "the panel shows either way";
        EXPECT_EQ(state_->scriptText.get(), c.loads ? c.draft : "guion anterior");
        EXPECT_EQ(state_->scriptTitle.get(), c.loads ? "Mi primer guion" : "Anterior");
    }
}

TEST_F(OnboardingFlowTest, FinishingStoresTheFlagAndHandsOverOnce) {
    OnboardingFlow& flow = makeFlow();
    int writes = 0;
    auto watch =
        defaults_->observeValue("didFinishOnboarding", false, [&](auto&&...) { ++writes; });
    for (int i = 0; i < 3; ++i) flow.advance();
    EXPECT_EQ(flow.primaryButtonTitle(), "Empezar");
    const int shown = panel_.showCount;
    flow.advance();
    // Return pressed again before the shell closed the window used to hand over twice.
    flow.advance();
    loop_.runUntilIdle();
    EXPECT_TRUE(Prefs::get(Prefs::Keys::didFinishOnboarding()));
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(finishCount_, 1);
    EXPECT_EQ(panel_.showCount, shown + 1);
}

TEST_F(OnboardingFlowTest, CalibrationOutcomes) {
    const struct {
        const char* name;
        AudioPermissionStatus permission;
        AudioFormat input;
        std::optional<std::string> result, problem;
        int speechRequests;
    } cases[] = {
        {"microphone refused",
         AudioPermissionStatus::denied,
         {48000, 1},
         std::nullopt,
         "Falta el permiso de micrófono.",
         0},
        {"no input device",
         AudioPermissionStatus::authorized,
         {0, 0},
         std::nullopt,
         "No se pudo medir el micrófono.",
         1},
        {"the room measured",
         AudioPermissionStatus::authorized,
         {48000, 1},
         "Ruido de fondo: -44 dBFS",
         std::nullopt,
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        audio_->setAuthorizationStatus(c.permission);
        audio_->setInputFormat(c.input);
        const int requestsBefore = speech_.requestCount();
        OnboardingFlow& flow = makeFlow();
        std::vector<std::string> titles;
        auto watch = flow.isCalibrating.observe(
            [&](bool) { titles.push_back(flow.calibrateButtonTitle()); });
        flow.requestAndCalibrate();
        loop_.runUntilIdle();
        hearRoom();
        loop_.advanceBy(2);
        loop_.runUntilIdle();
        EXPECT_EQ(titles,
                  (std::vector<std::string>{"Escuchando el silencio…", "Permitir y calibrar"}));
        EXPECT_EQ(flow.calibrationResult.get(), c.result);
        EXPECT_EQ(flow.permissionProblem.get(), c.problem);
        EXPECT_EQ(speech_.requestCount() - requestsBefore, c.speechRequests);
    }
    flow_->openMicrophoneSettings();
    EXPECT_EQ(openedUrls_.size(), 1u);
}

// A desktop without a sound settings tool once left the link doing nothing at all: the
// flow now says so, and a later link that opens takes the text away.
TEST_F(OnboardingFlowTest, TheSettingsLinkSaysWhenNothingCouldOpen) {
    OnboardingFlow& flow = makeFlow();
    opens_ = false;
    flow.openMicrophoneSettings();
    ASSERT_EQ(openedUrls_,
              (std::vector<std::string>{
                  "x-apple.systempreferences:com.apple.preference.security?Privacy_Microphone"}));
    EXPECT_EQ(flow.settingsProblem.get(),
              DesktopSettings::missingToolText(SettingsPage::microphone));
    opens_ = true;
    flow.openMicrophoneSettings();
    EXPECT_EQ(flow.settingsProblem.get(), std::nullopt);

    OnboardingFlow withoutOpener(*state_, panel_, {speech_, pasteboard_, {}}, {});
    withoutOpener.openMicrophoneSettings();
    EXPECT_TRUE(withoutOpener.settingsProblem.get().has_value());
}

TEST_F(OnboardingFlowTest, AGrantAfterARefusalClearsTheProblem) {
    audio_->setAuthorizationStatus(AudioPermissionStatus::denied);
    OnboardingFlow& flow = makeFlow();
    calibrate();
    EXPECT_TRUE(flow.permissionProblem.get().has_value());
    audio_->setAuthorizationStatus(AudioPermissionStatus::authorized);
    calibrate();
    EXPECT_EQ(flow.calibrationResult.get(), "Ruido de fondo: -44 dBFS");
    EXPECT_EQ(flow.permissionProblem.get(), std::nullopt);
    // A later failure keeps the earlier result beside its problem.
    audio_->setInputFormat({0, 0});
    calibrate(false);
    EXPECT_EQ(flow.calibrationResult.get(), "Ruido de fondo: -44 dBFS");
    EXPECT_EQ(flow.permissionProblem.get(), "No se pudo medir el micrófono.");
}

TEST_F(OnboardingFlowTest, RecognitionTestOutcomes) {
    Prefs::set(Prefs::Keys::transcriptionLocale(), TranscriptionLocale::spanishSpain);
    OnboardingFlow& flow = makeFlow();
    read(phraseWords());
    EXPECT_FALSE(flow.isMeasuring.get());
    EXPECT_EQ(flow.qualityResult.get(), "Te entiendo el 100% de las palabras");
    read({"cerramos", "el", "trimestre"});
    EXPECT_EQ(flow.qualityResult.get(), "No te escuché. Probá de nuevo, más cerca del micrófono.");
    EXPECT_EQ(flow.measureButtonTitle(), "Leer la frase");
}

TEST_F(OnboardingFlowTest, AMeasurementOutlivingItsWindowWritesNothing) {
    OnboardingFlow& flow = makeFlow();
    flow.requestAndCalibrate();
    flow.measureQuality();
    loop_.runUntilIdle();
    flow_.reset();
    hearRoom();
    loop_.advanceBy(10);
    loop_.runUntilIdle();
    EXPECT_FALSE(state_->isCalibrating.get()) << "the calibration itself ran to its end";
    EXPECT_NEAR(state_->voiceProfile.get().noiseFloor, -44, 1e-3);
}

TEST_F(OnboardingFlowTest, DraftFromThePasteboardAndTheSample) {
    OnboardingFlow& flow = makeFlow();
    EXPECT_EQ(flow.wordCountText(), "0 palabras");
    flow.draft.set("lo que había");
    flow.pasteFromPasteboard();
    EXPECT_EQ(flow.draft.get(), "lo que había") << "no text on the pasteboard";
    pasteboard_.setString("  “Hola”\r\n\r\n\r\n• uno — dos  ");
    flow.pasteFromPasteboard();
    EXPECT_EQ(flow.draft.get(), "\"Hola\"\n\nuno - dos");
    EXPECT_EQ(flow.wordCountText(), "3 palabras") << "a dash is no word";
    pasteboard_.setString(" \n ");
    flow.pasteFromPasteboard();
    EXPECT_EQ(flow.draft.get(), "") << "an empty cleaned text still replaces the draft";
    flow.useSampleScript();
    EXPECT_EQ(flow.draft.get(), SampleScript::text());
    EXPECT_GT(flow.wordCount(), 100);
}

TEST(OnboardingTextsTest, UnderstoodShareCutsTowardZero) {
    const struct {
        const char* name;
        double wer;
        const char* text;
    } cases[] = {
        {"a few misses", 0.126, "Te entiendo el 87% de las palabras"},
        {"everything", 0, "Te entiendo el 100% de las palabras"},
        {"nothing", 1, "Te entiendo el 0% de las palabras"},
        // 1 - 0.07 is just below 0.93 in binary: the cut alone showed 92.
        {"an exact share", 0.07, "Te entiendo el 93% de las palabras"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(OnboardingFlow::qualityText(c.wer), c.text);
    }
    EXPECT_EQ(OnboardingFlow::noiseFloorText(-47.6), "Ruido de fondo: -48 dBFS");
}

TEST(OnboardingKeysTest, EachKeyReachesTheRightControl) {
    using F = OnboardingFlow;
    const struct {
        const char* name;
        F::Key key;
        F::Focus focus;
        F::KeyTarget target;
    } cases[] = {
        {"Return with nothing focused", F::Key::returnKey, F::Focus::none,
         F::KeyTarget::primaryButton},
        {"Return on another button", F::Key::returnKey, F::Focus::button,
         F::KeyTarget::primaryButton},
        {"Return in the editor", F::Key::returnKey, F::Focus::textEditor, F::KeyTarget::textEditor},
        {"Space on a button", F::Key::space, F::Focus::button, F::KeyTarget::focusedButton},
        {"Space in the editor", F::Key::space, F::Focus::textEditor, F::KeyTarget::textEditor},
        {"Space with nothing focused", F::Key::space, F::Focus::none, F::KeyTarget::nothing},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(F::keyTarget(c.key, c.focus), c.target);
    }
}

}  // namespace
}  // namespace vorela
