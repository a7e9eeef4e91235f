#include <gtest/gtest.h>

#include "Platform/Audio/Fake/FakeAudioConverter.h"
#include "Platform/Speech/Fake/FakeSpeechAnalyzer.h"
#include "Voice/ModernTranscriber.h"
#include "Voice/TranscriberHarness.h"

namespace vorela {
namespace {

using Words = std::vector<std::string>;

class ModernTranscriberTest : public ::testing::Test, protected testing::TranscriberHarness {
protected:
    static SpeechAnalyzerResult result(std::vector<SpeechTextRun> runs, bool isFinal = false) {
        return {std::move(runs), isFinal};
    }

    std::shared_ptr<FakeSpeechAnalyzer> analyzer_ = std::make_shared<FakeSpeechAnalyzer>();
    std::shared_ptr<int> convertersMade_ = std::make_shared<int>(0);
    std::shared_ptr<ModernTranscriber> engine_ = std::make_shared<ModernTranscriber>(
        ModernTranscriber::Services{loop_, authorization_, analyzer_,
                                    FakeAudioConverter::maker(convertersMade_), telemetry_});
};

TEST_F(ModernTranscriberTest, ASuccessfulStartLogsEveryStepAndRegistersOneConsumer) {
    analyzer_->aliasLocale("es-MX", "es-419");
    start(*engine_, "es-MX");
    ASSERT_TRUE(startResult_ && startResult_->succeeded());
    EXPECT_EQ(telemetryEvents(),
              (Words{"modern.permiso", "modern.locale", "modern.modelo", "modern.modeloListo",
                     "modern.arrancando", "modern.arrancado"}));
    ASSERT_EQ(analyzer_->runCount(), 1u);
    EXPECT_EQ(analyzer_->run(0).locale, "es-419");
    EXPECT_EQ(session_->consumers().count(), 1u);
    EXPECT_EQ(analyzer_->installCount(), 0);  // installed already: no search logged
    EXPECT_TRUE(log_->messages("modern-transcriber").empty());
}

TEST_F(ModernTranscriberTest, EveryRefusalIsReportedWithItsTextAndStartsNothing) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::string expectedText;
        std::string expectedEvent;  // "" when availability passed
    };
    const Case cases[] = {
        {"permission denied", [&] { authorization_.setStatus(SpeechAuthorizationStatus::denied); },
         TranscriptionUnavailability::permissionDenied().localizedDescription(),
         "modern.noDisponible permissionDenied"},
        {"transcriber unavailable", [&] { analyzer_->setAvailable(false); },
         "El reconocedor de voz no está disponible en este momento.",
         "modern.noDisponible recognizerUnavailable"},
        {"language without equivalent", [&] { analyzer_->setUnsupportedLocales({"en-GB"}); },
         "El sistema no reconoce voz en en-GB en este equipo.",
         "modern.noDisponible localeNotSupported(\"en-GB\")"},
        {"model unsupported",
         [&] { analyzer_->setAssetStatus("en-GB", SpeechAssetStatus::unsupported); },
         "El sistema no reconoce voz en en-GB en este equipo.", ""},
        {"model missing on disk",
         [&] {
             analyzer_->setAssetStatus("en-GB", SpeechAssetStatus::supported);
             analyzer_->failInstall("Falta el modelo");
         },
         "Falta el modelo", ""},
        {"analyser start fails", [&] { analyzer_->failNextStart("No arrancó"); }, "No arrancó", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        authorization_.setStatus(SpeechAuthorizationStatus::authorized);
        analyzer_ = std::make_shared<FakeSpeechAnalyzer>();
        engine_ = std::make_shared<ModernTranscriber>(ModernTranscriber::Services{
            loop_, authorization_, analyzer_, FakeAudioConverter::maker(), telemetry_});
        c.arrange();
        telemetry_.clear();
        start(*engine_, "en-GB");
        ASSERT_TRUE(startResult_);
        EXPECT_FALSE(startResult_->succeeded());
        EXPECT_EQ(startResult_->errorDescription(), c.expectedText);
        EXPECT_EQ(session_->consumers().count(), 0u);
        const auto events = telemetryEvents();
        if (!c.expectedEvent.empty()) {
            EXPECT_EQ(events, (Words{"modern.permiso", c.expectedEvent}));
        }
    }
}

TEST_F(ModernTranscriberTest, AMissingModelIsLookedForOnceThenTheRunStarts) {
    analyzer_->setAssetStatus("es-ES", SpeechAssetStatus::supported);
    start(*engine_);
    ASSERT_TRUE(startResult_->succeeded());
    EXPECT_EQ(analyzer_->installCount(), 1);
    EXPECT_EQ(log_->messages("modern-transcriber"), (Words{"Buscando el modelo de es-ES…"}));
}

TEST_F(ModernTranscriberTest, ResultsBecomeUpdatesWithTimesOnlyWhenEveryWordHasOne) {
    start(*engine_);
    analyzer_->emit(result({{"   ", 0.0}}));
    analyzer_->emit(result({{"uno ", 0.5}, {"dos ", 0.9}, {"tres", std::nullopt}}));
    analyzer_->emit(result({{"uno ", 0.5}, {"dos ", 0.9}, {"tres", 1.4}}, true));
    loop_.runUntilIdle();
    ASSERT_EQ(updates_.size(), 2u);
    EXPECT_EQ(updates_[0].words, (Words{"uno", "dos", "tres"}));
    EXPECT_FALSE(updates_[0].timestamps);
    EXPECT_EQ(updates_[1].timestamps, (std::vector<double>{0.5, 0.9, 1.4}));
    EXPECT_TRUE(updates_[1].isFinal);
}

TEST_F(ModernTranscriberTest, BuffersAreConvertedToTheAnalyserFormatAndTheConverterKept) {
    start(*engine_);
    const auto same = feed({16000, 1});
    feed({48000, 1});
    feed({48000, 1});
    feed({44100, 2});  // an audio restart changed the tap format
    const auto run = analyzer_->run(0);
    ASSERT_EQ(run.audio.size(), 4u);
    EXPECT_EQ(run.audio[0], same);  // already in format: handed over unchanged
    EXPECT_EQ(run.audio[1]->format(), (AudioFormat{16000, 1}));
    EXPECT_EQ(*convertersMade_, 2);
    EXPECT_EQ(ModernTranscriber::outputCapacity({48000, 1}, {16000, 1}, 1024), 405u);
}

TEST_F(ModernTranscriberTest, StopFinishesTheRunAndTheStreamAndLaterResultsAreDropped) {
    start(*engine_);
    engine_->stop({});
    engine_->stop({});  // twice is harmless
    analyzer_->emit(result({{"tarde", std::nullopt}}));
    loop_.runUntilIdle();
    EXPECT_TRUE(streamFinished_);
    EXPECT_TRUE(updates_.empty());
    EXPECT_TRUE(analyzer_->run(0).isFinished);
    EXPECT_EQ(session_->consumers().count(), 0u);
    feed();
    EXPECT_TRUE(analyzer_->run(0).audio.empty());
}

// The failure that ended the results reached only the log, so the owner went on showing
// the engine as listening; it is reported to the owner too, as the text to show.
TEST_F(ModernTranscriberTest, AFailureOfTheResultsIsLoggedReportedAndTheStreamStaysOpen) {
    std::vector<TranscriptionUnavailability> failures;
    const Subscription observing = engine_->observeFailure(
        [&](const TranscriptionUnavailability& reason) { failures.push_back(reason); });
    start(*engine_);
    analyzer_->failResults("El decodificador se detuvo.");
    EXPECT_TRUE(failures.empty()) << "reported on the run loop, not the analyser's thread";
    loop_.runUntilIdle();
    EXPECT_FALSE(streamFinished_);
    EXPECT_EQ(log_->messages("modern-transcriber"),
              (Words{"El flujo de resultados terminó: El decodificador se detuvo."}));
    EXPECT_EQ(failures,
              std::vector{TranscriptionUnavailability::failed("El decodificador se detuvo.")});

    // A failure that reaches the run loop after a stop belongs to no run.
    analyzer_->failResults("tarde");
    engine_->stop({});
    loop_.runUntilIdle();
    EXPECT_EQ(failures.size(), 1u);
}

TEST_F(ModernTranscriberTest, AStopBeforeStartTouchesNothing) {
    bool stopped = false;
    engine_->stop([&] { stopped = true; });
    loop_.runUntilIdle();
    EXPECT_TRUE(stopped);
    EXPECT_EQ(analyzer_->runCount(), 0u);
}

}  // namespace
}  // namespace vorela
