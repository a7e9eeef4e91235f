#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Platform/Speech/Fake/FakeSpeechAuthorization.h"
#include "Voice/TranscriptionEngine.h"

namespace vorela {
namespace {

using Unavailability = TranscriptionUnavailability;

TEST(TranscriptionUnavailabilityTest, DescriptionsCarryTheirPayload) {
    struct Case {
        const char* name;
        Unavailability reason;
        std::string expected;
    };
    const Case cases[] = {
        {"locale not supported", Unavailability::localeNotSupported("es-MX"),
         "El sistema no reconoce voz en es-MX en este equipo."},
        {"failed keeps its message", Unavailability::failed("Algo pasó: %@"), "Algo pasó: %@"},
        {"failed with an empty message", Unavailability::failed(""), ""},
        {"permission denied", Unavailability::permissionDenied(),
         "Falta el permiso de reconocimiento de voz. Se activa en la configuración de privacidad "
         "del sistema."},
        {"recognizer unavailable", Unavailability::recognizerUnavailable(),
         "El reconocedor de voz no está disponible en este momento."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.reason.localizedDescription(), c.expected);
        EXPECT_EQ(TranscriptionEngineError::unavailable(c.reason).localizedDescription(),
                  c.expected);
    }
}

// The text named a fixed ~/.local/share folder and spoke of downloading: false when
// XDG_DATA_HOME is set, and Linux builds download nothing.
TEST(TranscriptionUnavailabilityTest, ModelNotInstalledNamesTheResolvedModelsFolder) {
    const char* previous = std::getenv("XDG_DATA_HOME");
    const std::string saved = previous ? previous : "";
    setenv("XDG_DATA_HOME", "/srv/datos", 1);
    const std::string text = Unavailability::modelNotInstalled("en-GB").localizedDescription();
    if (previous) {
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
    EXPECT_EQ(text,
              "Falta el modelo de dictado de en-GB. Se instala copiando un modelo acústico de "
              "pocketsphinx en /srv/datos/app.vorela.Vorela/models/en-GB/, o reinstalando Vorela.");
}

class RequestAuthorizationTest : public ::testing::Test {
protected:
    std::optional<bool> request() {
        std::optional<bool> answer;
        TranscriptionEngineFactory::requestAuthorization(authorization_,
                                                         [&](bool ok) { answer = ok; });
        loop_.runUntilIdle();
        return answer;
    }

    ManualRunLoop loop_;
    FakeSpeechAuthorization authorization_{loop_};
};

TEST_F(RequestAuthorizationTest, OnlyTheAuthorisedStatusIsTrue) {
    struct Case {
        const char* name;
        SpeechAuthorizationStatus status;
        bool expected;
    };
    for (const Case& c : {Case{"authorized", SpeechAuthorizationStatus::authorized, true},
                          Case{"denied", SpeechAuthorizationStatus::denied, false},
                          Case{"restricted", SpeechAuthorizationStatus::restricted, false}}) {
        SCOPED_TRACE(c.name);
        authorization_.setStatus(c.status);
        EXPECT_EQ(request(), c.expected);
    }
}

TEST_F(RequestAuthorizationTest, AnUndeterminedStatusWaitsForThePrompt) {
    authorization_.setStatus(SpeechAuthorizationStatus::notDetermined);
    std::optional<bool> answer;
    TranscriptionEngineFactory::requestAuthorization(authorization_, [&](bool ok) { answer = ok; });
    loop_.runUntilIdle();
    EXPECT_TRUE(authorization_.isPromptOpen());
    EXPECT_FALSE(answer.has_value());
    authorization_.answerPrompt(SpeechAuthorizationStatus::authorized);
    loop_.runUntilIdle();
    EXPECT_EQ(answer, true);
    EXPECT_EQ(request(), true);  // no second prompt: the status is known now
    EXPECT_FALSE(authorization_.isPromptOpen());
}

}  // namespace
}  // namespace vorela
