#include "App/Linux/VoiceEndToEndFixture.h"

namespace vorela {
namespace {

const char* const kSentence = "Buenas tardes a todos y bienvenidos al programa de esta noche";

TEST_F(VoiceEndToEndTest, VoiceActivatedTextMovesOnlyWhileTheVoicePlays) {
    constexpr double kLead = 1.5, kPause = 2.5;
    const auto speech = makeReading(kSentence, kLead, kPause);
    ASSERT_TRUE(speech) << "espeak-ng and sox make the reading";
    AppState& state = *state_;
    std::string text;
    for (int i = 0; i < 200; ++i) text += "palabra ";
    state.load(text, "prueba");
    surface_->layOut(200, 20);
    state.attach(surface_);
    state.setWpm(150);
    state.setMode(PrompterMode::voiceActivated);
    pump(0.5);
    ASSERT_EQ(state.audioSession().status(), AudioSession::Status::running())
        << state.audioSession().status().message();

    // t: seconds of audio captured since the playback's first sound (an idle monitor
    // delivers in bursts, so wall time would misplace the voice); -1 before it.
    struct Frame {
        double t, position;
        bool speaking;
    };
    std::vector<Frame> frames;
    play();
    // Room for a server that starts playing late on a loaded machine.
    pump(kLead + 2 * *speech + kPause + kLead + 4, [&] {
        frames.push_back({timeline_->secondsSinceFirstSound().value_or(-1), state.wordPosition(),
                          state.isSpeaking.get()});
    });
    ASSERT_FALSE(frames.empty());
    // The first onset of speech anchors the voice's timeline.
    const auto onset =
        std::find_if(frames.begin(), frames.end(), [](auto& f) { return f.speaking; });
    ASSERT_NE(onset, frames.end()) << "the voice was never heard";
    const double t0 = onset->t;
    auto positionAt = [&](double t) {
        double p = 0;
        for (const auto& f : frames)
            if (f.t <= t) p = f.position;
        return p;
    };
    for (std::size_t i = 1; i < frames.size(); ++i)
        ASSERT_GE(frames[i].position, frames[i - 1].position) << "never backwards";
    EXPECT_EQ(positionAt(t0 - 0.05), 0) << "nothing moves before the voice";
    const double firstEnd = t0 + *speech;
    // The hold keeps the flag 0.35 s after the voice; then the text stands still.
    const double held = positionAt(firstEnd + 0.6);
    EXPECT_EQ(positionAt(firstEnd + kPause - 0.3), held) << "the pause holds the text";
    EXPECT_GT(held, 0.6 * *speech * 150 / 60) << "the text moved while the voice played";
    EXPECT_GT(positionAt(firstEnd + kPause + *speech), held + 0.6 * *speech * 150 / 60)
        << "and moves on with the voice";
    const double last = frames.back().position;
    EXPECT_EQ(positionAt(frames.back().t - 0.5), last) << "silence at the end holds it";
    std::printf("voice-activated: onset %.2f s into the reading, %.1f words over %.2f s of voice\n",
                t0, last, 2 * *speech);
}

TEST_F(VoiceEndToEndTest, CalibrationMeasuresTheServersSilenceAndAReading) {
    const auto speech = makeReading(kSentence, 0.2, 0.3);
    ASSERT_TRUE(speech);
    AppState& state = *state_;
    std::optional<std::optional<double>> silence;
    // An idle null sink hands its monitor over in blocks of up to 2 s: the window opens
    // with the first of them.
    state.calibrateNoiseFloor(2, [&](std::optional<double> f) { silence = f; });
    pumpUntil([&] { return silence.has_value(); }, 8);
    ASSERT_TRUE(silence.has_value()) << "the calibration ended";
    ASSERT_TRUE(silence->has_value()) << "buffers arrived";
    EXPECT_LT(**silence, -100) << "an idle null sink is digital silence";
    EXPECT_EQ(state.voice().vad().config().noiseFloor, **silence);
    EXPECT_NE(state.audioSession().status(), AudioSession::Status::running())
        << "the manual mode gives the microphone back";

    std::optional<std::optional<double>> reading;
    play();
    pump(0.4);
    state.calibrateNoiseFloor(*speech, [&](std::optional<double> f) { reading = f; });
    // The sink may still be finishing an idle block when the reading starts.
    pumpUntil([&] { return reading.has_value(); }, *speech + 5);
    ASSERT_TRUE(reading.has_value() && reading->has_value());
    EXPECT_GT(**reading, -40) << "speech is loud";
    EXPECT_LT(**reading, 0);
    EXPECT_EQ(state.voiceProfile.get().noiseFloor, **reading);
    std::printf("calibration: silence %.1f dBFS, reading %.1f dBFS\n", **silence, **reading);
}

}  // namespace
}  // namespace vorela
