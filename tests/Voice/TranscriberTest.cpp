#include <gtest/gtest.h>

#include "Platform/Audio/Fake/FakeAudioConverter.h"
#include "Platform/Speech/Fake/FakeSpeechAnalyzer.h"
#include "Platform/Speech/Fake/FakeSpeechRecognizer.h"
#include "Voice/LegacyTranscriber.h"
#include "Voice/ModernTranscriber.h"
#include "Voice/TranscriberHarness.h"

namespace vorela {
namespace {

using Words = std::vector<std::string>;

// Each engine over its fake recogniser: how to make it, how its n-th recognition (a task
// or an analyser run) says something, and whether that recognition was ended.
struct Legacy {
    std::shared_ptr<FakeSpeechRecognizer> recognizers = std::make_shared<FakeSpeechRecognizer>();
    std::shared_ptr<TranscriptionEngine> make(testing::TranscriberHarness& h) {
        return std::make_shared<LegacyTranscriber>(
            LegacyTranscriber::Services{h.loop_, h.authorization_, recognizers});
    }
    std::size_t recognitions() const { return recognizers->taskCount(); }
    void say(std::size_t index, Words words) {
        recognizers->deliver(index, std::move(words), false);
    }
    bool isEnded(std::size_t index) const { return recognizers->task(index).isCancelled; }
};

struct Modern {
    std::shared_ptr<FakeSpeechAnalyzer> analyzer = std::make_shared<FakeSpeechAnalyzer>();
    std::shared_ptr<TranscriptionEngine> make(testing::TranscriberHarness& h) {
        return std::make_shared<ModernTranscriber>(ModernTranscriber::Services{
            h.loop_, h.authorization_, analyzer, FakeAudioConverter::maker(), h.telemetry_});
    }
    std::size_t recognitions() const { return analyzer->runCount(); }
    void say(std::size_t index, Words words) {
        std::vector<SpeechTextRun> runs;
        for (const auto& word : words) runs.push_back({word + " ", std::nullopt});
        analyzer->run(index).onResult({std::move(runs), false});
    }
    bool isEnded(std::size_t index) const { return analyzer->run(index).isFinished; }
};

// What one start handed back: whether it succeeded, the words of each update, the end.
struct Reading {
    bool completed = false;
    bool succeeded = false;
    std::vector<Words> updates;
    bool finished = false;
    Subscription subscription;
};

template <class Engine>
class TranscriberTest : public ::testing::Test, protected testing::TranscriberHarness {
protected:
    TranscriberTest() { loop_.advanceBy(1.0); }  // uptime 0 would mean "no task yet"

    std::shared_ptr<Reading> read(const std::string& locale = "es-ES") {
        auto reading = std::make_shared<Reading>();
        engine_->start(locale, session_, [this, reading](TranscriptionStartResult result) {
            reading->completed = true;
            reading->succeeded = result.succeeded();
            if (!result.succeeded()) return;
            reading->subscription = result.stream().forEach(
                loop_, [reading](TranscriptionUpdate u) { reading->updates.push_back(u.words); },
                [reading] { reading->finished = true; });
        });
        loop_.runUntilIdle();
        return reading;
    }

    Engine fake_;
    std::shared_ptr<TranscriptionEngine> engine_ = fake_.make(*this);
};

struct EngineNames {
    template <class Engine>
    static std::string GetName(int) {
        return std::is_same_v<Engine, Legacy> ? "Legacy" : "Modern";
    }
};
using Engines = ::testing::Types<Legacy, Modern>;
TYPED_TEST_SUITE(TranscriberTest, Engines, EngineNames);

TYPED_TEST(TranscriberTest, ASecondStartEndsTheFirstRunAndOnlyTheNewRunIsHeard) {
    const auto first = this->read();
    this->fake_.say(0, {"uno"});
    const auto second = this->read();
    ASSERT_TRUE(first->succeeded && second->succeeded);
    ASSERT_EQ(this->fake_.recognitions(), 2u);
    EXPECT_TRUE(this->fake_.isEnded(0));
    EXPECT_FALSE(this->fake_.isEnded(1));
    EXPECT_EQ(this->session_->consumers().count(), 1u);

    // A late word of the first run belongs to no stream.
    this->fake_.say(0, {"tarde"});
    this->fake_.say(1, {"dos"});
    this->loop_.runUntilIdle();
    EXPECT_EQ(first->updates, std::vector<Words>{{"uno"}});
    EXPECT_TRUE(first->finished);
    EXPECT_EQ(second->updates, std::vector<Words>{{"dos"}});
    EXPECT_FALSE(second->finished);
}

// A start still waiting for the permission answer when stop() came used to go on and
// register its consumer: the microphone fed a recogniser nobody read.
TYPED_TEST(TranscriberTest, AStartOvertakenByAStopLeavesNothingRunning) {
    const struct {
        const char* name;
        bool startsAgain;  // before the answer comes
    } cases[] = {{"alone", false}, {"followed by another start", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TypeParam fake;
        this->engine_ = fake.make(*this);
        this->authorization_.setStatus(SpeechAuthorizationStatus::notDetermined);
        const auto overtaken = this->read();
        this->engine_->stop({});
        const auto next = c.startsAgain ? this->read() : nullptr;
        EXPECT_FALSE(overtaken->completed) << "it waits for the answer";

        this->authorization_.answerPrompt(SpeechAuthorizationStatus::authorized);
        this->loop_.runUntilIdle();
        ASSERT_TRUE(overtaken->succeeded);
        EXPECT_TRUE(overtaken->finished);
        const std::size_t running = next ? 1 : 0;
        EXPECT_EQ(fake.recognitions(), running);
        EXPECT_EQ(this->session_->consumers().count(), running);
        if (next) {
            EXPECT_TRUE(next->succeeded && !next->finished);
        }
        this->engine_->stop({});
        this->loop_.runUntilIdle();
    }
}

TYPED_TEST(TranscriberTest, StopRunsItsCompletionOnTheLoopAndLeavesNothingToHear) {
    const auto reading = this->read();
    bool stopped = false;
    this->engine_->stop([&] { stopped = true; });
    EXPECT_FALSE(stopped) << "the completion runs on the run loop, not inside stop()";
    this->fake_.say(0, {"tarde"});
    this->feed();
    this->loop_.runUntilIdle();
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(reading->finished);
    EXPECT_TRUE(reading->updates.empty());
    EXPECT_TRUE(this->fake_.isEnded(0));
    EXPECT_EQ(this->session_->consumers().count(), 0u);
}

TYPED_TEST(TranscriberTest, AnEngineGoneMidRunFinishesItsStreamAndFreesTheMicrophone) {
    const auto reading = this->read();
    this->engine_.reset();
    this->loop_.runUntilIdle();
    EXPECT_TRUE(reading->finished);
    EXPECT_TRUE(this->fake_.isEnded(0));
    EXPECT_EQ(this->session_->consumers().count(), 0u);
    this->fake_.say(0, {"tarde"});  // reaches no one, and nothing breaks
    this->feed();
}

TYPED_TEST(TranscriberTest, AnEngineGoneWhileThePermissionIsAskedStartsNothing) {
    this->authorization_.setStatus(SpeechAuthorizationStatus::notDetermined);
    const auto reading = this->read();
    this->engine_.reset();
    this->authorization_.answerPrompt(SpeechAuthorizationStatus::authorized);
    this->loop_.runUntilIdle();
    EXPECT_TRUE(reading->completed);
    EXPECT_TRUE(reading->finished);
    EXPECT_EQ(this->fake_.recognitions(), 0u);
    EXPECT_EQ(this->session_->consumers().count(), 0u);
}

}  // namespace
}  // namespace vorela
