#include <gtest/gtest.h>
#include <unistd.h>

#include "Matcher/MatcherTelemetry.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Voice/Linux/SystemTranscriptionEngine.h"
#include "Voice/TranscriptionEngine.h"

namespace vorela {
namespace {

// The engine the application gets, on this machine's decoder and models.
TEST(SystemTranscriptionEngineTest, MakesTheNewerEngineOnTheInstalledDecoderAndModels) {
    const auto decoder = systemDecoderProgram();
    ASSERT_FALSE(decoder.empty()) << "this build's decoder is found";
    EXPECT_EQ(access(decoder.c_str(), X_OK), 0);

    ManualRunLoop loop;
    MatcherTelemetry telemetry(std::nullopt, loop.clock());
    const auto make = makeSystemTranscriptionEngine(loop, telemetry);
    const auto engine = make();
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->engineName(), "SpeechAnalyzer");
    EXPECT_NE(make(), engine) << "a new engine for every start";

    const struct {
        const char* locale;
        std::optional<TranscriptionUnavailability> reason;
    } cases[] = {
        {"es-ES", std::nullopt},
        {"en-US", std::nullopt},
        {"fr-FR", TranscriptionUnavailability::localeNotSupported("fr-FR")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        std::optional<std::optional<TranscriptionUnavailability>> answer;
        engine->availability(c.locale, [&](auto reason) { answer = reason; });
        loop.runUntilIdle();
        ASSERT_TRUE(answer.has_value());
        EXPECT_EQ(*answer, c.reason);
    }
}

}  // namespace
}  // namespace vorela
