#include <thread>

#include "App/AppStateEnvironment.h"
#include "App/VoicePipeline.h"
#include "Support/MatcherScripts.h"

namespace vorela {
namespace {

namespace Keys = Prefs::Keys;
using Kind = VoiceStatus::Kind;

class VoicePipelineTest : public testing::AppStateTest {
protected:
    std::size_t consumers() { return state_->audioSession().consumers().count(); }
    std::vector<std::string> events() {
        std::vector<std::string> names;
        for (const auto& record : telemetryRecords()) names.push_back(record["event"]);
        return names;
    }
};

TEST_F(VoicePipelineTest, TheVoiceModesShareOneConsumerAndAudioFollowsTheMode) {
    AppState& state = makeAttachedState(10);
    state.setMode(PrompterMode::voiceActivated);
    EXPECT_EQ(consumers(), 1u);
    EXPECT_TRUE(audio_->isRunning());
    EXPECT_TRUE(engines_.made().empty());
    state.setMode(PrompterMode::wordTracking);
    loop_.runUntilIdle();
    EXPECT_TRUE(state.isTranscribing.get());
    state.setMode(PrompterMode::voiceActivated);
    loop_.runUntilIdle();
    EXPECT_FALSE(state.isTranscribing.get());
    EXPECT_EQ(engines_.last()->stopCount(), 1);
    EXPECT_EQ(consumers(), 1u);
    EXPECT_EQ(audio_->startCount(), 1) << "audio ran throughout";

    hear(true);
    ASSERT_TRUE(state.isSpeaking.get());
    state.setMode(PrompterMode::classic);
    loop_.runUntilIdle();
    EXPECT_EQ(consumers(), 0u);
    EXPECT_FALSE(audio_->isRunning());
    EXPECT_FALSE(state.isSpeaking.get());
    EXPECT_EQ(state.micLevel.get(), 0);
}

TEST_F(VoicePipelineTest, LeavingWhileThePermissionPromptIsOpenLeavesNothingBehind) {
    // The session is not running while the prompt is open, and leaving used to keep the
    // consumer and let the pending start switch the microphone on in the manual mode.
    audio_->setAuthorizationStatus(AudioPermissionStatus::notDetermined);
    AppState& state = makeAttachedState(10);
    state.setMode(PrompterMode::wordTracking);
    state.setMode(PrompterMode::manual);
    EXPECT_EQ(consumers(), 0u);
    audio_->answerPermissionPrompt(true);
    loop_.runUntilIdle();
    EXPECT_FALSE(audio_->isRunning());
    EXPECT_TRUE(engines_.made().empty());

    // Starts pending across voice modes register one consumer, and only the mode in
    // force when audio comes up decides about transcription.
    audio_->setAuthorizationStatus(AudioPermissionStatus::notDetermined);
    state.setMode(PrompterMode::wordTracking);
    state.setMode(PrompterMode::voiceActivated);
    audio_->answerPermissionPrompt(true);
    loop_.runUntilIdle();
    EXPECT_EQ(consumers(), 1u);
    EXPECT_TRUE(audio_->isRunning());
    EXPECT_TRUE(engines_.made().empty());
}

TEST_F(VoicePipelineTest, TheMeterIsThrottledWhileTheFlagIsSteady) {
    AppState& state = makeAttachedState(10);
    state.setMode(PrompterMode::voiceActivated);
    int levels = 0;
    auto watch = state.micLevel.observe([&](double) { ++levels; });
    const struct {
        const char* name;
        double after;  // seconds since the previous buffer
        float amplitude;
        int levels;
        bool speaking;
    } steps[] = {
        {"the first reading goes out", 0, 0.5f, 1, true},
        {"a steady flag within 50 ms waits", 0.04, 0.3f, 1, true},
        {"after 50 ms the newest level goes", 0.011, 0.3f, 2, true},
        {"silence held closes at once", 0.4, 0, 3, false},
        {"speech again 1 ms later goes at once", 0.001, 0.5f, 4, true},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        loop_.advanceBy(step.after);
        capture(step.amplitude > 0, step.amplitude);
        loop_.runUntilIdle();
        EXPECT_EQ(levels, step.levels);
        EXPECT_EQ(state.isSpeaking.get(), step.speaking);
    }
    loop_.advanceBy(1);
    std::thread tap([this] {
        for (int i = 0; i < 50; ++i) capture(false);
    });
    tap.join();
    loop_.runUntilIdle();
    EXPECT_FALSE(state.isSpeaking.get()) << "readings from the tap thread arrive on the run loop";
}

TEST_F(VoicePipelineTest, TranscriptionStartsOnceAndAFailureShowsUntilTheModeIsLeft) {
    engines_.failStarts(TranscriptionUnavailability::localeNotSupported("es-MX"));
    AppState& state = makeAttachedState(10);
    state.setMode(PrompterMode::wordTracking);
    state.startTranscription();
    loop_.runUntilIdle();
    const auto text =
        TranscriptionUnavailability::localeNotSupported("es-MX").localizedDescription();
    EXPECT_EQ(state.voiceStatus(), VoiceStatus::problem(text));
    EXPECT_EQ(events(), (std::vector<std::string>{"mode", "transcription.start",
                                                  "transcription.audio", "transcription.failed"}));
    EXPECT_EQ(telemetryRecords("transcription.failed")[0]["reason"], text);
    state.startTranscription();
    state.setTranscriptionLocale(TranscriptionLocale::englishUK);
    loop_.runUntilIdle();
    EXPECT_EQ(engines_.made().size(), 1u) << "nothing is retried";

    engines_.failStarts(std::nullopt);
    state.setMode(PrompterMode::voiceActivated);
    state.setMode(PrompterMode::wordTracking);
    loop_.runUntilIdle();
    EXPECT_EQ(state.transcriptionProblem.get(), std::nullopt);
    EXPECT_EQ(state.voiceStatus(), VoiceStatus(Kind::ready));
    state.setTranscriptionLocale(TranscriptionLocale::englishUS);
    loop_.runUntilIdle();
    ASSERT_EQ(engines_.made().size(), 3u);
    EXPECT_FALSE(engines_.made()[1]->isRunning());
    EXPECT_EQ(engines_.made()[2]->startedLocales(), std::vector<std::string>{"en-US"});
    EXPECT_TRUE(state.isTranscribing.get());
    EXPECT_EQ(telemetryRecords("transcription.start").back()["locale"], "en-US");
    EXPECT_EQ(telemetryRecords("transcription.streamEnded").size(), 1u);
}

TEST_F(VoicePipelineTest, AMicrophoneBackUnderWordTrackingStartsAFailedRecogniserAgain) {
    // Word tracking entered without a microphone kept its failed recogniser after the
    // microphone came back, until the user left the mode and entered it again.
    audio_->setInputFormat({});
    engines_.failStarts(TranscriptionUnavailability::recognizerUnavailable());
    AppState& state = makeAttachedState(10);
    state.setMode(PrompterMode::wordTracking);
    loop_.runUntilIdle();
    EXPECT_EQ(state.voiceStatus().kind(), Kind::problem);
    ASSERT_EQ(engines_.made().size(), 1u);

    engines_.failStarts(std::nullopt);
    audio_->setInputFormat({48000, 1});
    loop_.advanceBy(AudioSession::kDeviceRetrySeconds);
    loop_.runUntilIdle();
    EXPECT_EQ(state.audioSession().status(), AudioSession::Status::running());
    ASSERT_EQ(engines_.made().size(), 2u);
    EXPECT_TRUE(state.isTranscribing.get());
    EXPECT_EQ(state.voiceStatus(), VoiceStatus(Kind::ready));
    EXPECT_EQ(consumers(), 1u) << "the detector's consumer, registered once";

    // A recogniser that runs is kept when the audio restarts under it.
    audio_->simulateConfigurationChange();
    loop_.runUntilIdle();
    EXPECT_EQ(engines_.made().size(), 2u);
    EXPECT_TRUE(engines_.made()[1]->isRunning());
}

// A recogniser that gave up in the middle of a run (a damaged speech model) only wrote to
// the log: the panel went on saying "Listo" to a reader nobody heard.
TEST_F(VoicePipelineTest, ARunTheRecogniserGivesUpShowsWhyInsteadOfReady) {
    AppState& state = makeAttachedState(10);
    state.setMode(PrompterMode::wordTracking);
    loop_.runUntilIdle();
    ASSERT_EQ(state.voiceStatus(), VoiceStatus(Kind::ready));
    const auto reason = TranscriptionUnavailability::failed(
        "El decodificador no cargó el modelo: el modelo acústico de /m no se pudo cargar");
    engines_.last()->failRun(reason);
    EXPECT_EQ(state.voiceStatus(), VoiceStatus::problem(reason.localizedDescription()));
    EXPECT_EQ(state.voiceStatus().localizedName(), reason.localizedDescription());
    EXPECT_FALSE(state.isTranscribing.get());
    EXPECT_EQ(telemetryRecords("transcription.failed").at(0)["reason"],
              reason.localizedDescription());
    EXPECT_EQ(engines_.made().size(), 1u) << "nothing is retried";

    // A failure of a run already left is no news.
    state.setMode(PrompterMode::manual);
    loop_.runUntilIdle();
    engines_.made()[0]->failRun(reason);
    state.setMode(PrompterMode::wordTracking);
    loop_.runUntilIdle();
    EXPECT_EQ(state.voiceStatus(), VoiceStatus(Kind::ready));
}

TEST_F(VoicePipelineTest, AnEngineStoppedWhileStartingIsStoppedAgainAndNeverTranscribes) {
    // A start that completed after its stop used to mark the state as transcribing with
    // the engine listening and nobody left to stop it; it is stopped at once instead.
    engines_.holdStarts(true);
    AppState& state = makeAttachedState(10);
    state.setMode(PrompterMode::wordTracking);
    loop_.runUntilIdle();
    auto engine = engines_.made().back();
    state.setMode(PrompterMode::manual);
    loop_.runUntilIdle();
    engine->completePendingStart();
    loop_.runUntilIdle();
    EXPECT_FALSE(state.isTranscribing.get());
    EXPECT_FALSE(engine->isRunning());
    EXPECT_EQ(engine->stopCount(), 2);
}

TEST_F(VoicePipelineTest, ModeSwitchesWhileStartsArePendingEndAsTheLastModeWants) {
    using M = PrompterMode;
    const struct {
        const char* name;
        bool promptOpen;  // else audio starts at once and only engine starts wait
        std::vector<M> modes;
    } cases[] = {
        {"tracking, then manual", true, {M::wordTracking, M::manual}},
        {"tracking, then voice", true, {M::wordTracking, M::voiceActivated}},
        {"voice, then tracking", true, {M::voiceActivated, M::wordTracking}},
        {"tracking, constant, tracking", true, {M::wordTracking, M::classic, M::wordTracking}},
        {"voice, manual, tracking", true, {M::voiceActivated, M::manual, M::wordTracking}},
        {"tracking, manual, voice", true, {M::wordTracking, M::manual, M::voiceActivated}},
        {"engine pending: tracking, manual", false, {M::wordTracking, M::manual}},
        {"engine pending: tracking, voice, tracking",
         false,
         {M::wordTracking, M::voiceActivated, M::wordTracking}},
        {"engine pending: tracking, manual, tracking",
         false,
         {M::wordTracking, M::manual, M::wordTracking}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        audio_->setAuthorizationStatus(c.promptOpen ? AudioPermissionStatus::notDetermined
                                                    : AudioPermissionStatus::authorized);
        engines_.holdStarts(true);
        const std::size_t madeBefore = engines_.made().size();
        AppState& state = makeAttachedState(10);
        for (const M mode : c.modes) {
            state.setMode(mode);
            loop_.runUntilIdle();
        }
        if (c.promptOpen) audio_->answerPermissionPrompt(true);
        loop_.runUntilIdle();
        for (std::size_t i = madeBefore; i < engines_.made().size(); ++i)
            engines_.made()[i]->completePendingStart();
        loop_.runUntilIdle();

        const M last = c.modes.back();
        const bool voice = usesMicrophone(last);
        EXPECT_EQ(audio_->isRunning(), voice);
        EXPECT_EQ(consumers(), voice ? 1u : 0u);
        int listening = 0;
        for (std::size_t i = madeBefore; i < engines_.made().size(); ++i)
            listening += engines_.made()[i]->isRunning();
        EXPECT_EQ(listening, last == M::wordTracking ? 1 : 0);
        EXPECT_EQ(state.isTranscribing.get(), last == M::wordTracking);
        state.setMode(M::manual);
        loop_.runUntilIdle();
    }
}

TEST_F(VoicePipelineTest, AMeterReadingOnItsWayWhenTheVoiceModesAreLeftIsDropped) {
    // The tap posts its reading to the run loop; one that arrives after leaving used to
    // light the speaking indicator in the manual mode.
    AppState& state = makeAttachedState(10);
    state.setMode(PrompterMode::voiceActivated);
    capture(true);
    state.setMode(PrompterMode::manual);
    loop_.runUntilIdle();
    EXPECT_FALSE(state.isSpeaking.get());
    EXPECT_EQ(state.micLevel.get(), 0);
}

class TranscriptionUpdatesTest : public VoicePipelineTest {
protected:
    AppState& tracking(bool withText) {
        Prefs::set(Keys::transcriptionLocale(), TranscriptionLocale::spanishSpain);
        AppState& state = makeState();
        std::string text;
        for (const auto& word : words_) text += (text.empty() ? "" : " ") + word;
        state.load(withText ? text : "", "seguimiento");
        state.setMode(PrompterMode::wordTracking);
        loop_.runUntilIdle();
        return state;
    }
    void deliver(std::vector<std::string> words, bool isFinal, double age = 0) {
        loop_.advanceBy(0.05);
        engines_.last()->yield({std::move(words), isFinal, std::nullopt, loop_.uptime() - age});
        loop_.runUntilIdle();
    }

    std::vector<std::string> words_ = testing::distinctWords(30);
};

TEST_F(TranscriptionUpdatesTest, AnUpdateFeedsTheMatcherAtMostEveryTenthOfASecond) {
    AppState& state = tracking(true);
    std::vector<std::string> heard = {"eh"};
    heard.insert(heard.end(), words_.begin() + 3, words_.begin() + 9);
    deliver(heard, true, 0.25);
    EXPECT_EQ(state.liveTranscript.get(), heard);
    EXPECT_DOUBLE_EQ(state.transcriptionLatency.get(), 0.25);
    EXPECT_EQ(state.matchState.get(), MatchState::locked);
    EXPECT_EQ(state.voiceStatus(), VoiceStatus(Kind::following));
    const auto record = telemetryRecords("match").at(0);
    std::string lastSix;
    for (std::size_t i = 3; i < 9; ++i) lastSix += (i > 3 ? " " : "") + words_[i];
    const nlohmann::json expected = {
        {"heard", lastSix},  {"final", "1"},         {"cursor", "9"},
        {"state", "locked"}, {"ventana", lastSix},   {"consumidas", "0"},
        {"tokens", "30"},    {"guionMatcher", "30"}, {"wpm", "260"}};
    for (const auto& [key, value] : expected.items()) EXPECT_EQ(record[key], value) << key;
    EXPECT_EQ(record["score"].get<std::string>().size(), 4u) << "two decimals";

    deliver({words_[9], words_[10], words_[11]}, true);  // 0.05 s later: ingested only
    EXPECT_EQ(state.matcher().recentHeard().size(), 6u);
    EXPECT_EQ(state.matcher().cursor(), 9);
    surface_->layOut(30, 20);
    state.attach(surface_);
    surface_->fire(10);
    surface_->fire(10.1);
    EXPECT_EQ(state.wordPosition(), 0) << "the unaligned update replaced the match";
}

TEST_F(TranscriptionUpdatesTest, WithoutWordsAnUpdateStillShowsAndLogs) {
    AppState& state = tracking(false);
    deliver({"hola", "mundo"}, false, -5);
    EXPECT_EQ(state.liveTranscript.get().size(), 2u);
    EXPECT_EQ(state.transcriptionLatency.get(), 0) << "a time in the future is no latency";
    const auto record = telemetryRecords("match").at(0);
    EXPECT_EQ(record["tokens"], "0");
    EXPECT_EQ(record["guionMatcher"], "0");
    EXPECT_EQ(record["final"], "0");

    engines_.last()->finishStream();
    loop_.runUntilIdle();
    EXPECT_TRUE(state.isTranscribing.get()) << "an ended stream leaves the flag";
    state.setMode(PrompterMode::manual);
    EXPECT_EQ(telemetryRecords("transcription.streamEnded").size(), 1u) << "logged once";
}

TEST(VoiceStatusTest, EveryRowOfTheTable) {
    using Audio = AudioSession::Status;
    const auto voice = PrompterMode::voiceActivated;
    const auto tracking = PrompterMode::wordTracking;
    const auto problem = [](const char* text) { return VoiceStatus::problem(text); };
    const struct {
        const char* name;
        VoiceStatusInputs in;
        VoiceStatus expected;
    } cases[] = {
        {"classic", {PrompterMode::classic, "roto", Audio::running(), true, true}, VoiceStatus()},
        {"problem first", {tracking, "Sin modelo", Audio::denied()}, problem("Sin modelo")},
        {"idle", {voice, {}, Audio::idle()}, VoiceStatus(Kind::preparing)},
        {"denied", {voice, {}, Audio::denied()}, problem("Falta el permiso de micrófono.")},
        {"no device",
         {tracking, {}, Audio::noInputDevice()},
         problem("No hay micrófono conectado.")},
        {"failed", {voice, {}, Audio::failed("Sin señal")}, problem("Sin señal")},
        {"no stream", {tracking, {}, Audio::running(), false, true}, VoiceStatus(Kind::preparing)},
        {"voice, speaking",
         {voice, {}, Audio::running(), false, true},
         VoiceStatus(Kind::following)},
        {"voice, silent", {voice, {}, Audio::running()}, VoiceStatus(Kind::ready)},
        {"locked",
         {tracking, {}, Audio::running(), true, false, MatchState::locked},
         VoiceStatus(Kind::following)},
        {"searching, speaking",
         {tracking, {}, Audio::running(), true, true},
         VoiceStatus(Kind::searching)},
        {"searching, silent",
         {tracking, {}, Audio::running(), true, false},
         VoiceStatus(Kind::ready)},
        {"lost",
         {tracking, {}, Audio::running(), true, true, MatchState::lost},
         VoiceStatus(Kind::lost)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(deriveVoiceStatus(c.in), c.expected);
    }
    EXPECT_EQ(VoiceStatus(Kind::ready).localizedName(), "Listo: empezá a leer");
    EXPECT_EQ(problem("Sin señal").localizedName(), "Sin señal");
}

TEST_F(VoicePipelineTest, TheStatusIsObservableAcrossTheVoiceRoad) {
    audio_->setAuthorizationStatus(AudioPermissionStatus::notDetermined);
    engines_.holdStarts(true);
    AppState& state = makeAttachedState(10);
    std::vector<VoiceStatus> seen;
    auto watch =
        state.observeVoiceStatus([&](const VoiceStatus& status) { seen.push_back(status); });
    state.setMode(PrompterMode::classic);
    state.setMode(PrompterMode::wordTracking);
    audio_->answerPermissionPrompt(true);
    loop_.runUntilIdle();
    EXPECT_EQ(state.voiceStatus(), VoiceStatus(Kind::preparing))
        << "audio runs, the stream not yet";
    engines_.last()->completePendingStart();
    loop_.runUntilIdle();
    state.setMode(PrompterMode::manual);
    EXPECT_EQ(seen, (std::vector<VoiceStatus>{VoiceStatus(Kind::preparing),
                                              VoiceStatus(Kind::ready), VoiceStatus()}));
}

// Recognition expects the loaded script: the engine gets it when it is made, and again
// whenever the text or the locale changes while it transcribes.
TEST_F(VoicePipelineTest, TheEngineIsHandedTheLoadedScriptAndEveryChangeOfIt) {
    Prefs::set(Keys::transcriptionLocale(), TranscriptionLocale::spanishSpain);
    AppState& state = makeState();
    state.load("Pagamos 1.250 euros.", "guion");
    state.setMode(PrompterMode::wordTracking);
    loop_.runUntilIdle();
    ASSERT_TRUE(state.isTranscribing.get());
    const auto* engine = engines_.last();
    ASSERT_TRUE(engine->script());
    EXPECT_EQ(engine->script()->localeIdentifier, "es-ES");
    ASSERT_EQ(engine->script()->words.size(), 3u);
    EXPECT_EQ(engine->script()->words[1].readings,
              (std::vector<std::string>{"mil doscientos cincuenta", "uno punto dos cinco cero"}));

    state.load("Otro texto", "otro");
    EXPECT_EQ(engine->script()->words[0].word, "otro");
    state.setTranscriptionLocale(TranscriptionLocale::englishUS);
    loop_.runUntilIdle();
    ASSERT_TRUE(engines_.last()->script());
    EXPECT_EQ(engines_.last()->script()->localeIdentifier, "en-US");
}

}  // namespace
}  // namespace vorela
