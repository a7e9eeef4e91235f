#include "Voice/AudioSession.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Platform/Fake/FakeAudioEngine.h"
#include "Platform/Fake/ManualRunLoop.h"
#include "Platform/Log.h"

namespace vorela {
namespace {

using Kind = AudioSession::Status::Kind;

class RecordingSink final : public LogSink {
public:
    void write(LogLevel level, std::string_view category, std::string_view message) override {
        std::lock_guard guard(mutex_);
        if (category == "audio") lines_.push_back({level, std::string(message)});
    }
    std::vector<std::pair<LogLevel, std::string>> lines() const {
        std::lock_guard guard(mutex_);
        return lines_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::pair<LogLevel, std::string>> lines_;
};

std::shared_ptr<const AudioBuffer> tone(AudioFormat format, float value) {
    auto buffer = AudioBuffer::make(format, 1024);
    for (std::uint32_t c = 0; c < format.channelCount; ++c) {
        float* samples = buffer->mutableChannelData(c);
        for (std::uint32_t i = 0; i < buffer->frameLength(); ++i) samples[i] = value;
    }
    return buffer;
}

class AudioSessionTest : public ::testing::Test {
protected:
    void SetUp() override { previousSink_ = Log::setSink(log_); }
    void TearDown() override { Log::setSink(previousSink_); }

    // Starts the session and runs the loop until the start has finished.
    void startAndSettle() {
        session_->start();
        loop_.runUntilIdle();
    }
    std::vector<std::string> logTexts() const {
        std::vector<std::string> texts;
        for (const auto& [level, text] : log_->lines()) texts.push_back(text);
        return texts;
    }

    ManualRunLoop loop_;
    std::shared_ptr<RecordingSink> log_ = std::make_shared<RecordingSink>();
    std::shared_ptr<LogSink> previousSink_;
    std::shared_ptr<FakeAudioEngine> engine_ = std::make_shared<FakeAudioEngine>(loop_);
    std::shared_ptr<NotificationCenter> workspace_ = std::make_shared<NotificationCenter>(loop_);
    std::unique_ptr<AudioSession> session_ = std::make_unique<AudioSession>(loop_, engine_, workspace_);
};

TEST_F(AudioSessionTest, CreationAsksNothingAndTouchesNoHardware) {
    engine_->setAuthorizationStatus(AudioPermissionStatus::notDetermined);
    auto fresh = std::make_unique<AudioSession>(loop_, engine_, workspace_);
    loop_.runUntilIdle();
    EXPECT_EQ(fresh->status(), AudioSession::Status::idle());
    EXPECT_FALSE(fresh->inputFormat().has_value());
    EXPECT_EQ(fresh->bufferSize(), 1024u);
    EXPECT_EQ(engine_->permissionPromptCount(), 0);
    EXPECT_EQ(engine_->tapInstallCount(), 0);
    EXPECT_EQ(engine_->startCount(), 0);
}

TEST_F(AudioSessionTest, StartInstallsOneTapOfTheHardwareFormatOnBusZeroAndRuns) {
    engine_->setInputFormat({44100, 2});
    bool finished = false;
    session_->start([&] { finished = true; });
    loop_.runUntilIdle();

    EXPECT_TRUE(finished);
    EXPECT_EQ(session_->status(), AudioSession::Status::running());
    EXPECT_EQ(session_->inputFormat(), (AudioFormat{44100, 2}));
    EXPECT_EQ(engine_->tapBus(), 0);
    EXPECT_EQ(engine_->tapBufferSize(), 1024u);
    EXPECT_EQ(engine_->tapFormat(), (AudioFormat{44100, 2}));
    EXPECT_TRUE(engine_->isRunning());
    EXPECT_EQ(logTexts(), std::vector<std::string>{"Audio corriendo a 44100.000000 Hz."});
}

TEST_F(AudioSessionTest, StartWhileRunningAsksNoPermissionAndInstallsNoSecondTap) {
    startAndSettle();
    engine_->setAuthorizationStatus(AudioPermissionStatus::notDetermined);
    startAndSettle();
    EXPECT_EQ(engine_->permissionPromptCount(), 0);
    EXPECT_EQ(engine_->tapInstallCount(), 1);
    EXPECT_EQ(engine_->startCount(), 1);
}

TEST_F(AudioSessionTest, UndeterminedPermissionPromptsOnceAndWaitsForTheAnswer) {
    struct Case {
        const char* name;
        bool granted;
        Kind expected;
        int taps;
    };
    for (const Case& c : {Case{"granted", true, Kind::running, 1}, Case{"refused", false, Kind::denied, 0}}) {
        SCOPED_TRACE(c.name);
        auto engine = std::make_shared<FakeAudioEngine>(loop_);
        engine->setAuthorizationStatus(AudioPermissionStatus::notDetermined);
        AudioSession session(loop_, engine, workspace_);
        bool finished = false;
        session.start([&] { finished = true; });
        loop_.runUntilIdle();
        EXPECT_TRUE(engine->isPermissionPromptOpen());
        EXPECT_FALSE(finished);
        EXPECT_EQ(session.status().kind(), Kind::idle);

        engine->answerPermissionPrompt(c.granted);
        loop_.runUntilIdle();
        EXPECT_TRUE(finished);
        EXPECT_EQ(session.status().kind(), c.expected);
        EXPECT_EQ(engine->permissionPromptCount(), 1);
        EXPECT_EQ(engine->tapInstallCount(), c.taps);
    }
}

TEST_F(AudioSessionTest, PermissionDeniedOrRestrictedGivesDeniedWithoutTapEngineOrLog) {
    for (auto status : {AudioPermissionStatus::denied, AudioPermissionStatus::restricted}) {
        SCOPED_TRACE(status == AudioPermissionStatus::denied ? "denied" : "restricted");
        engine_->setAuthorizationStatus(status);
        bool answer = true;
        session_->requestPermission([&](bool granted) { answer = granted; });
        EXPECT_FALSE(answer);
        startAndSettle();
        EXPECT_EQ(session_->status(), AudioSession::Status::denied());
        EXPECT_EQ(engine_->tapInstallCount(), 0);
        EXPECT_EQ(engine_->startCount(), 0);
    }
    EXPECT_TRUE(log_->lines().empty());
}

TEST_F(AudioSessionTest, AuthorizedPermissionLeavesTheStatusAlone) {
    engine_->setInputFormat({0, 0});
    startAndSettle();
    ASSERT_EQ(session_->status().kind(), Kind::noInputDevice);
    bool answer = false;
    session_->requestPermission([&](bool granted) { answer = granted; });
    EXPECT_TRUE(answer);
    EXPECT_EQ(session_->status().kind(), Kind::noInputDevice);
}

TEST_F(AudioSessionTest, UnusableInputFormatGivesNoInputDeviceAndNoTap) {
    struct Case {
        const char* name;
        AudioFormat format;
    };
    for (const Case& c : {Case{"no channels", {48000, 0}}, Case{"no sample rate", {0, 1}},
                          Case{"negative rate", {-1, 2}}}) {
        SCOPED_TRACE(c.name);
        engine_->setInputFormat(c.format);
        startAndSettle();
        EXPECT_EQ(session_->status(), AudioSession::Status::noInputDevice());
        EXPECT_FALSE(engine_->isTapInstalled());
        EXPECT_EQ(engine_->startCount(), 0);
        EXPECT_EQ(logTexts().back(), "No hay dispositivo de entrada disponible.");
        EXPECT_EQ(log_->lines().back().first, LogLevel::error);
    }
}

TEST_F(AudioSessionTest, EngineStartFailureRemovesTheTapAndReportsItsMessageThenALaterStartRecovers) {
    engine_->failNextStart("El dispositivo está ocupado.");
    startAndSettle();
    EXPECT_EQ(session_->status(), AudioSession::Status::failed("El dispositivo está ocupado."));
    EXPECT_NE(session_->status(), AudioSession::Status::failed("otro"));
    EXPECT_FALSE(engine_->isTapInstalled());
    EXPECT_FALSE(session_->inputFormat().has_value());
    EXPECT_EQ(logTexts().back(), "No se pudo arrancar el engine: El dispositivo está ocupado.");

    startAndSettle();
    EXPECT_EQ(session_->status().kind(), Kind::running);
    EXPECT_EQ(engine_->tapInstallCount(), 2);
    EXPECT_TRUE(engine_->isTapInstalled());
}

TEST_F(AudioSessionTest, StopRemovesTapStopsEngineAndKeepsConsumers) {
    startAndSettle();
    const Uuid id = Uuid::make();
    session_->consumers().add([](const auto&, const auto&) {}, id);
    std::vector<Kind> seen;
    auto sub = session_->observeStatus([&](const AudioSession::Status& s) { seen.push_back(s.kind()); });

    session_->stop();
    EXPECT_EQ(session_->status().kind(), Kind::idle);
    EXPECT_FALSE(session_->inputFormat().has_value());
    EXPECT_FALSE(engine_->isTapInstalled());
    EXPECT_FALSE(engine_->isRunning());
    EXPECT_TRUE(session_->consumers().contains(id));
    session_->stop();  // a second stop changes nothing and notifies nobody
    EXPECT_EQ(seen, std::vector<Kind>{Kind::idle});
    EXPECT_EQ(engine_->stopCount(), 1);
}

TEST_F(AudioSessionTest, WakeWhileIdleDoesNothingWhileRunningRestartsAndKeepsConsumers) {
    workspace_->post(kWorkspaceDidWakeNotification);
    loop_.runUntilIdle();
    EXPECT_EQ(engine_->startCount(), 0);

    startAndSettle();
    std::atomic<int> received{0};
    session_->consumers().add([&](const auto&, const auto&) { ++received; }, Uuid::make());
    workspace_->post(kWorkspaceDidWakeNotification);
    loop_.runUntilIdle();

    EXPECT_EQ(session_->status().kind(), Kind::running);
    EXPECT_EQ(engine_->startCount(), 2);
    EXPECT_EQ(engine_->tapInstallCount(), 2);
    EXPECT_EQ(session_->consumers().count(), 1u);
    EXPECT_TRUE(engine_->pushBuffer(tone({48000, 1}, 0.5f)));
    EXPECT_EQ(received.load(), 1);
    EXPECT_EQ(logTexts()[1], "Reiniciando el audio: el equipo despertó");
}

TEST_F(AudioSessionTest, ConfigurationChangesRestartOncePerRunningSessionAndPickUpTheNewFormat) {
    startAndSettle();
    engine_->setInputFormat({16000, 2});
    engine_->simulateConfigurationChange();
    engine_->simulateConfigurationChange();
    // Both notifications are queued before the restart's start: the second finds idle.
    loop_.runUntilIdle();
    EXPECT_EQ(engine_->startCount(), 2);
    EXPECT_EQ(session_->status().kind(), Kind::running);
    EXPECT_EQ(session_->inputFormat(), (AudioFormat{16000, 2}));
    EXPECT_EQ(engine_->tapFormat(), (AudioFormat{16000, 2}));

    engine_->simulateConfigurationChange();
    loop_.runUntilIdle();
    EXPECT_EQ(engine_->startCount(), 3);
    int restarts = 0;
    for (const auto& text : logTexts()) restarts += text == "Reiniciando el audio: cambio de configuración de audio";
    EXPECT_EQ(restarts, 2);
}

TEST_F(AudioSessionTest, StopDuringAPendingPermissionPromptKeepsTheMicrophoneOff) {
    // A stop asked while the prompt was open used to be lost: the answer started capture
    // anyway. Stop is the later request, so the microphone must stay off.
    engine_->setAuthorizationStatus(AudioPermissionStatus::notDetermined);
    bool finished = false;
    session_->start([&] { finished = true; });
    session_->stop();
    engine_->answerPermissionPrompt(true);
    loop_.runUntilIdle();
    EXPECT_TRUE(finished);
    EXPECT_EQ(session_->status().kind(), Kind::idle);
    EXPECT_FALSE(engine_->isTapInstalled());
    EXPECT_EQ(engine_->startCount(), 0);

    startAndSettle();  // a start after the stop still works
    EXPECT_EQ(session_->status().kind(), Kind::running);
}

TEST_F(AudioSessionTest, StopWhileARestartIsPendingKeepsTheMicrophoneOff) {
    // The restart's queued start used to run after the stop and reopen the microphone.
    // The stop came last, so the session must end idle with no tap.
    startAndSettle();
    engine_->simulateConfigurationChange();  // tears down at once and queues the new start
    session_->stop();
    loop_.runUntilIdle();
    EXPECT_EQ(engine_->startCount(), 1);
    EXPECT_EQ(session_->status().kind(), Kind::idle);
    EXPECT_FALSE(engine_->isTapInstalled());
    EXPECT_FALSE(engine_->isRunning());
}

TEST_F(AudioSessionTest, ReleasingTheSessionRemovesItsObserversAndDropsAPendingRestart) {
    startAndSettle();
    engine_->simulateConfigurationChange();  // queues the restart's start
    session_.reset();
    int others = 0;
    auto sub = workspace_->observe(kWorkspaceDidWakeNotification, [&](const Notification&) { ++others; });
    workspace_->post(kWorkspaceDidWakeNotification);
    engine_->simulateConfigurationChange();
    std::thread([&] { engine_->simulateConfigurationChange(); }).join();
    loop_.runUntilIdle();
    EXPECT_EQ(others, 1);
    EXPECT_EQ(engine_->startCount(), 1);
    EXPECT_EQ(engine_->tapInstallCount(), 1);
}

TEST_F(AudioSessionTest, KeptBuffersStayIntactWhileTheTapDeliversMore) {
    startAndSettle();
    std::vector<std::shared_ptr<const AudioBuffer>> kept;
    session_->consumers().add([&](const auto& buffer, const auto&) { kept.push_back(buffer); }, Uuid::make());
    for (int i = 0; i < 4; ++i) engine_->pushBuffer(tone({48000, 1}, 0.1f * (i + 1)));
    ASSERT_EQ(kept.size(), 4u);
    for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(kept[i]->channelData(0)[1023], 0.1f * (i + 1));
}

TEST_F(AudioSessionTest, BuffersFromTheTapThreadReachConsumersWhileTheMainThreadEditsTheTable) {
    startAndSettle();
    std::atomic<int> steady{0};
    session_->consumers().add([&](const auto&, const auto&) { ++steady; }, Uuid::make());
    std::atomic<bool> done{false};
    std::thread tap([&] {
        auto buffer = tone({48000, 1}, 0.25f);
        for (int i = 0; i < 2000; ++i) engine_->pushBuffer(buffer);
        done = true;
    });
    std::atomic<int> churn{0};
    while (!done) {
        const Uuid id = Uuid::make();
        session_->consumers().add([&](const auto&, const auto&) { ++churn; }, id);
        session_->consumers().remove(id);
    }
    tap.join();
    EXPECT_EQ(steady.load(), 2000);
    EXPECT_EQ(session_->consumers().count(), 1u);
}

}  // namespace
}  // namespace vorela
