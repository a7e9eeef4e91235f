#include <stdlib.h>

#include <fstream>

#include "App/Linux/VoiceEndToEndFixture.h"
#include "Platform/Bundle/Bundle.h"
#include "Prefs/Prefs.h"

namespace vorela {
namespace {

// The whole state on the real decoder, with a damaged model in the user's models folder
// of a temporary data folder.
class DamagedSpeechModelTest : public VoiceEndToEndTest {
protected:
    void SetUp() override {
        model_ = data_ / Bundle::identifier() / "models" / "en-US";
        fs::create_directories(model_);
        std::ofstream(model_ / "mdef") << "not a model\n";
        if (const char* previous = getenv("XDG_DATA_HOME")) previous_ = previous;
        setenv("XDG_DATA_HOME", data_.c_str(), 1);
        VoiceEndToEndTest::SetUp();  // the engine looks for its models now
    }
    void TearDown() override {
        VoiceEndToEndTest::TearDown();
        if (previous_) {
            setenv("XDG_DATA_HOME", previous_->c_str(), 1);
        } else {
            unsetenv("XDG_DATA_HOME");
        }
        std::error_code ignored;
        fs::remove_all(data_, ignored);
    }

    fs::path data_ = makeTemporaryFolder();
    fs::path model_;
    std::optional<std::string> previous_;
};

// The decoder exited at every load of the damaged model and was restarted about 85 times
// a second, while the panel said "Listo": the reader must learn that nothing listens.
TEST_F(DamagedSpeechModelTest, WordTrackingShowsWhyTheModelFailedInsteadOfReady) {
    Prefs::set(Prefs::Keys::transcriptionLocale(), TranscriptionLocale::englishUS);
    AppState& state = *state_;
    state.load("the northern wind brought the rain to the city", "viento");
    state.setMode(PrompterMode::wordTracking);
    pumpUntil([&] { return state.transcriptionProblem.get().has_value(); }, 20);
    const std::string shown = state.voiceStatus().localizedName();
    EXPECT_NE(shown, VoiceStatus(VoiceStatus::Kind::ready).localizedName());
    EXPECT_EQ(shown.rfind("El decodificador no cargó el modelo: el modelo acústico de " +
                              model_.string() + " no se pudo cargar",
                          0),
              0u)
        << shown;
    EXPECT_FALSE(state.isTranscribing.get());
}

}  // namespace
}  // namespace vorela
