#include <gtest/gtest.h>

#include "Platform/Speech/Fake/FakeSpeechRecognizer.h"
#include "Voice/LegacyTranscriber.h"
#include "Voice/TranscriberHarness.h"

namespace vorela {
namespace {

using Words = std::vector<std::string>;

class LegacyTranscriberTest : public ::testing::Test, protected testing::TranscriberHarness {
protected:
    LegacyTranscriberTest() { loop_.advanceBy(1.0); }  // uptime 0 would mean "no task"

    Words lastWords() const { return updates_.empty() ? Words{} : updates_.back().words; }

    std::shared_ptr<FakeSpeechRecognizer> recognizers_ = std::make_shared<FakeSpeechRecognizer>();
    std::shared_ptr<LegacyTranscriber> engine_ = std::make_shared<LegacyTranscriber>(
        LegacyTranscriber::Services{loop_, authorization_, recognizers_});
};

TEST_F(LegacyTranscriberTest, RecyclesEvery45SecondsAndReplaysTheNewestHalfSecond) {
    start(*engine_);
    ASSERT_EQ(recognizers_->taskCount(), 1u);
    EXPECT_EQ(recognizers_->task(0).options, SpeechRecognitionRequestOptions{});

    std::vector<std::shared_ptr<const AudioBuffer>> fed;
    const double startedAt = loop_.uptime();
    while (loop_.uptime() < startedAt + 100) fed.push_back(feed());
    // 100 s of speech without a final: recycled 45 s after the start and 45 s after that.
    ASSERT_EQ(recognizers_->taskCount(), 3u);
    const auto first = recognizers_->task(0);
    EXPECT_TRUE(first.isFinished && first.isAudioEnded);

    // The second task began with the first task's newest 23 buffers (0.49 s at 48 kHz),
    // in order, before any new one.
    const auto second = recognizers_->task(1);
    const std::size_t cut = first.audio.size();
    ASSERT_GE(second.audio.size(), 23u);
    for (std::size_t i = 0; i < 23; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(second.audio[i], fed[cut - 23 + i]);
    }
    EXPECT_EQ(second.audio[23], fed[cut]);
}

TEST_F(LegacyTranscriberTest, CarriesWordsAcrossATimeRecycleButNotPastAFinal) {
    start(*engine_);
    recognizers_->deliver(0, {"hola", "a"}, false);
    while (recognizers_->taskCount() < 2) feed();
    recognizers_->deliver(1, {"todos"}, false);
    // A late last result of the retired task: its words are already carried.
    recognizers_->deliver(0, {"hola", "a", "ti"}, true);
    recognizers_->deliver(1, {"todos", "hoy"}, true);
    loop_.runUntilIdle();
    ASSERT_EQ(updates_.size(), 3u);
    EXPECT_EQ(updates_[1].words, (Words{"hola", "a", "todos"}));
    EXPECT_EQ(updates_[2].words, (Words{"hola", "a", "todos", "hoy"}));
    EXPECT_TRUE(updates_[2].isFinal);

    // Carried words used to stay after a final, so the matcher counted them twice and
    // the measured rate rose. A final closes the utterance: the next one starts afresh.
    ASSERT_EQ(recognizers_->taskCount(), 3u);
    recognizers_->deliver(2, {"gracias"}, false);
    loop_.runUntilIdle();
    EXPECT_EQ(lastWords(), (Words{"gracias"}));
}

TEST_F(LegacyTranscriberTest, SilentCodesAreNotLoggedOtherErrorsAreLoggedAndNeverYielded) {
    start(*engine_);
    for (long code : {216L, 301L, 1110L}) recognizers_->fail(0, code, "silencio");
    recognizers_->fail(0, 7, "Falló el audio");
    loop_.runUntilIdle();
    EXPECT_TRUE(updates_.empty());
    EXPECT_EQ(log_->messages("legacy-transcriber"),
              (Words{"Error de reconocimiento: Falló el audio"}));
    EXPECT_EQ(recognizers_->taskCount(), 1u);  // the run goes on with the same task
}

TEST_F(LegacyTranscriberTest, EveryUnavailabilityIsReportedAndNothingIsRegistered) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        TranscriptionUnavailability expected;
    };
    const Case cases[] = {
        {"permission denied", [&] { authorization_.setStatus(SpeechAuthorizationStatus::denied); },
         TranscriptionUnavailability::permissionDenied()},
        {"unknown language", [&] { recognizers_->setUnknownLocales({"es-ES"}); },
         TranscriptionUnavailability::localeNotSupported("es-ES")},
        {"recogniser busy", [&] { recognizers_->setAvailable(false); },
         TranscriptionUnavailability::recognizerUnavailable()},
        {"no on-device model", [&] { recognizers_->setSupportsOnDevice(false); },
         TranscriptionUnavailability::modelNotInstalled("es-ES")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        authorization_.setStatus(SpeechAuthorizationStatus::authorized);
        recognizers_->setUnknownLocales({});
        recognizers_->setAvailable(true);
        recognizers_->setSupportsOnDevice(true);
        c.arrange();
        std::optional<TranscriptionUnavailability> reported;
        engine_->availability("es-ES", [&](auto reason) { reported = reason; });
        loop_.runUntilIdle();
        EXPECT_EQ(reported, c.expected);
        start(*engine_);
        ASSERT_TRUE(startResult_);
        EXPECT_EQ(startResult_->engineError(), TranscriptionEngineError::unavailable(c.expected));
        EXPECT_EQ(session_->consumers().count(), 0u);
    }
    EXPECT_EQ(recognizers_->taskCount(), 0u);
}

TEST_F(LegacyTranscriberTest, StopThenStartAgainKeepsNoWordOfTheOldRun) {
    start(*engine_);
    recognizers_->deliver(0, {"viejo"}, false);
    while (recognizers_->taskCount() < 2) feed();
    engine_->stop({});
    loop_.runUntilIdle();
    EXPECT_TRUE(streamFinished_);
    EXPECT_TRUE(recognizers_->task(1).isCancelled);
    EXPECT_EQ(session_->consumers().count(), 0u);

    updates_.clear();
    start(*engine_);
    recognizers_->deliver(2, {"nuevo"}, false);
    loop_.runUntilIdle();
    EXPECT_EQ(lastWords(), (Words{"nuevo"}));
    EXPECT_EQ(session_->consumers().count(), 1u);
}

// A stop landing while a final result recycled the task let the recycle go on to make
// and keep a new task nobody ended: a recogniser kept running after stop() returned.
TEST_F(LegacyTranscriberTest, AStopDuringARecycleLeavesNoTaskRunning) {
    using Step = FakeSpeechRecognizer::Step;
    const struct {
        const char* name;
        Step stopAt;
    } cases[] = {
        {"while the old task finishes", Step::taskFinished},
        {"while the new task is made", Step::taskMade},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto recognizers = std::make_shared<FakeSpeechRecognizer>();
        auto engine = std::make_shared<LegacyTranscriber>(
            LegacyTranscriber::Services{loop_, authorization_, recognizers});
        streamFinished_ = false;
        start(*engine);
        bool stopped = false;
        recognizers->setOnStep([&](Step step) {
            if (step == c.stopAt && !std::exchange(stopped, true)) engine->stop({});
        });
        recognizers->deliver(0, {"fin"}, true);  // the recycle runs on the recogniser's thread
        loop_.runUntilIdle();
        ASSERT_TRUE(stopped);
        EXPECT_TRUE(streamFinished_);
        for (std::size_t i = 1; i < recognizers->taskCount(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_TRUE(recognizers->task(i).isCancelled);
            EXPECT_TRUE(recognizers->task(i).isAudioEnded);
        }
        feed();
        EXPECT_EQ(session_->consumers().count(), 0u);
    }
}

TEST_F(LegacyTranscriberTest, TheScriptReachesTheRecogniserLayer) {
    auto script =
        std::make_shared<const SpeechScript>(SpeechScript{"es-ES", {{"hola", "hola", {}}}});
    engine_->setScript(script);
    EXPECT_EQ(recognizers_->script(), script);
}

}  // namespace
}  // namespace vorela
