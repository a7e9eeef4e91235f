#include "App/Linux/VoiceEndToEndFixture.h"
#include "Support/ChildProcesses.h"

namespace vorela {
namespace {

// Once five quick deaths had given the decoder up, play started nothing (only a change of
// mode did), and the last decoder stayed a zombie until then.
TEST_F(VoiceEndToEndTest, PlayInWordTrackingStartsANewDecoderOnceTheLastWasGivenUp) {
    AppState& state = *state_;
    PocketSphinxAnalyzer& analyzer = *analyzer_;
    state.load("el viento del norte trajo la lluvia a la ciudad", "viento");
    state.setMode(PrompterMode::wordTracking);
    for (int started = 1; started <= 5; ++started) {
        pumpUntil([&] { return analyzer.decoderStarts() == started; }, 20);
        ASSERT_EQ(analyzer.decoderStarts(), started);
        analyzer.abortDecoderForTesting();
    }
    pumpUntil([&] { return state.transcriptionProblem.get().has_value(); }, 20);
    EXPECT_EQ(state.transcriptionProblem.get().value_or(""),
              "El decodificador de voz se detuvo 5 veces seguidas y no se vuelve a arrancar.");
    EXPECT_FALSE(state.isTranscribing.get());
    EXPECT_TRUE(testing::childrenReapedWithin(2)) << "the last decoder is waited for at once";

    state.pause();
    state.play();
    pumpUntil([&] { return state.isTranscribing.get(); }, 20);
    EXPECT_TRUE(state.isTranscribing.get()) << state.transcriptionProblem.get().value_or("");
    EXPECT_EQ(analyzer.decoderStarts(), 6);
    EXPECT_FALSE(state.transcriptionProblem.get().has_value());
}

}  // namespace
}  // namespace vorela
