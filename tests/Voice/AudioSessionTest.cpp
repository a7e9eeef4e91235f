#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

#include "Platform/Audio/Fake/FakeAudioEngine.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Support/RecordingLogSink.h"
#include "Voice/AudioSession.h"

namespace vorela {
namespace {

using Kind = AudioSession::Status::Kind;

class AudioSessionTest : public ::testing::Test {
protected:
    void SetUp() override { previous_ = Log::setSink(log_); }
    void TearDown() override { Log::setSink(previous_); }
    void startAndSettle() {
        session_->start();
        loop_.runUntilIdle();
    }
    int logCount(const std::string& text) const {
        const auto lines = log_->messages("audio");
        return std::count(lines.begin(), lines.end(), text);
    }

    ManualRunLoop loop_;
    std::shared_ptr<vorela::testing::RecordingLogSink> log_ =
        std::make_shared<vorela::testing::RecordingLogSink>();
    std::shared_ptr<LogSink> previous_;
    std::shared_ptr<FakeAudioEngine> engine_ = std::make_shared<FakeAudioEngine>(loop_);
    std::shared_ptr<NotificationCenter> workspace_ = std::make_shared<NotificationCenter>(loop_);
    std::unique_ptr<AudioSession> session_ =
        std::make_unique<AudioSession>(loop_, engine_, workspace_);
};

TEST_F(AudioSessionTest,
       StartInstallsOneTapOfTheHardwareFormatOnBusZeroAndAStartWhileRunningDoesNothing) {
    engine_->setInputFormat({44100, 2});
    startAndSettle();
    EXPECT_EQ(session_->status(), AudioSession::Status::running());
    EXPECT_EQ(session_->inputFormat(), (AudioFormat{44100, 2}));
    EXPECT_EQ(engine_->tapBus(), 0);
    EXPECT_EQ(engine_->tapBufferSize(), 1024u);
    EXPECT_EQ(engine_->tapFormat(), (AudioFormat{44100, 2}));
    EXPECT_EQ(log_->messages("audio"),
              std::vector<std::string>{"Audio corriendo a 44100.000000 Hz."});

    engine_->setAuthorizationStatus(AudioPermissionStatus::notDetermined);
    startAndSettle();
    EXPECT_EQ(engine_->permissionPromptCount(), 0);
    EXPECT_EQ(engine_->tapInstallCount(), 1);
    EXPECT_EQ(engine_->startCount(), 1);
}

TEST_F(AudioSessionTest, StartOutcomes) {
    struct Case {
        const char* name;
        AudioPermissionStatus permission;
        std::optional<bool> promptAnswer;
        AudioFormat hardware;
        const char* startFailure;
        AudioSession::Status expected;
        const char* logLine;
    };
    const auto denied = AudioSession::Status::denied();
    const auto noInput = AudioSession::Status::noInputDevice();
    const Case cases[] = {
        {"prompt granted",
         AudioPermissionStatus::notDetermined,
         true,
         {48000, 1},
         nullptr,
         AudioSession::Status::running(),
         "Audio corriendo a 48000.000000 Hz."},
        {"prompt refused",
         AudioPermissionStatus::notDetermined,
         false,
         {48000, 1},
         nullptr,
         denied,
         nullptr},
        {"denied", AudioPermissionStatus::denied, {}, {48000, 1}, nullptr, denied, nullptr},
        {"restricted", AudioPermissionStatus::restricted, {}, {48000, 1}, nullptr, denied, nullptr},
        {"no channels",
         AudioPermissionStatus::authorized,
         {},
         {48000, 0},
         nullptr,
         noInput,
         "No hay dispositivo de entrada disponible."},
        {"no sample rate",
         AudioPermissionStatus::authorized,
         {},
         {0, 2},
         nullptr,
         noInput,
         "No hay dispositivo de entrada disponible."},
        {"engine refuses",
         AudioPermissionStatus::authorized,
         {},
         {48000, 1},
         "Dispositivo ocupado.",
         AudioSession::Status::failed("Dispositivo ocupado."),
         "No se pudo arrancar el engine: Dispositivo ocupado."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        log_->clear();
        auto engine = std::make_shared<FakeAudioEngine>(loop_);
        engine->setAuthorizationStatus(c.permission);
        engine->setInputFormat(c.hardware);
        if (c.startFailure) engine->failNextStart(c.startFailure);
        AudioSession session(loop_, engine, workspace_);
        bool finished = false;
        session.start([&] { finished = true; });
        loop_.runUntilIdle();
        if (c.promptAnswer) {
            EXPECT_FALSE(finished) << "the start waits for the prompt";
            EXPECT_EQ(session.status().kind(), Kind::idle);
            engine->answerPermissionPrompt(*c.promptAnswer);
            loop_.runUntilIdle();
        }
        EXPECT_TRUE(finished);
        EXPECT_EQ(session.status(), c.expected);
        EXPECT_EQ(engine->permissionPromptCount(), c.promptAnswer ? 1 : 0);
        EXPECT_EQ(engine->isTapInstalled(), c.expected.kind() == Kind::running);
        EXPECT_EQ(session.inputFormat().has_value(), c.expected.kind() == Kind::running);
        EXPECT_EQ(log_->messages("audio"),
                  c.logLine ? std::vector<std::string>{c.logLine} : std::vector<std::string>{});
    }
}

TEST_F(AudioSessionTest, AFailedStartIsTriedAgainByTheNextStart) {
    engine_->failNextStart("Dispositivo ocupado.");
    startAndSettle();
    startAndSettle();
    EXPECT_EQ(session_->status().kind(), Kind::running);
    EXPECT_EQ(engine_->tapInstallCount(), 2);
}

TEST_F(AudioSessionTest, AMicrophoneThatComesBackIsFoundWhileCaptureIsWanted) {
    // With the microphone unplugged and plugged back in, the session stayed failed until
    // the user left the voice mode and came back: nothing looked for the device again.
    engine_->setInputFormat({48000, 1});
    std::atomic<int> buffers{0};
    session_->consumers().add([&](const auto&, const auto&) { ++buffers; }, Uuid::make());
    startAndSettle();
    engine_->setInputFormat({});  // unplugged: the engine reports the change
    engine_->simulateConfigurationChange();
    loop_.runUntilIdle();
    EXPECT_EQ(session_->status().kind(), Kind::noInputDevice);
    loop_.advanceBy(3 * AudioSession::kDeviceRetrySeconds);
    EXPECT_EQ(session_->status().kind(), Kind::noInputDevice);
    EXPECT_EQ(logCount("No hay dispositivo de entrada disponible."), 1) << "once, not per look";

    engine_->setInputFormat({44100, 1});  // plugged back in
    loop_.advanceBy(AudioSession::kDeviceRetrySeconds);
    EXPECT_EQ(session_->status(), AudioSession::Status::running());
    EXPECT_EQ(session_->inputFormat(), (AudioFormat{44100, 1}));
    EXPECT_TRUE(engine_->pushBuffer(AudioBuffer::make({44100, 1}, 1024)));
    EXPECT_EQ(buffers.load(), 1) << "the consumers stayed registered";
    const auto installs = engine_->tapInstallCount();
    loop_.advanceBy(5 * AudioSession::kDeviceRetrySeconds);
    EXPECT_EQ(engine_->tapInstallCount(), installs) << "no looking once it runs";
}

TEST_F(AudioSessionTest, NoOneLooksForTheDeviceAfterAStopOrWhenAccessIsDenied) {
    engine_->setInputFormat({});
    startAndSettle();
    session_->stop();
    engine_->setInputFormat({48000, 1});
    loop_.advanceBy(3 * AudioSession::kDeviceRetrySeconds);
    EXPECT_EQ(session_->status().kind(), Kind::noInputDevice) << "stopped: left alone";
    EXPECT_EQ(engine_->tapInstallCount(), 0);

    engine_->failNextStart("Dispositivo ocupado.");
    startAndSettle();
    EXPECT_EQ(session_->status(), AudioSession::Status::failed("Dispositivo ocupado."));
    loop_.advanceBy(AudioSession::kDeviceRetrySeconds);
    EXPECT_EQ(session_->status().kind(), Kind::running) << "a busy device is tried again too";
    session_->stop();

    engine_->setAuthorizationStatus(AudioPermissionStatus::denied);
    startAndSettle();
    EXPECT_EQ(session_->status().kind(), Kind::denied);
    engine_->setAuthorizationStatus(AudioPermissionStatus::authorized);
    loop_.advanceBy(3 * AudioSession::kDeviceRetrySeconds);
    EXPECT_EQ(session_->status().kind(), Kind::denied) << "a refusal waits for the user";
}

TEST_F(AudioSessionTest, StopRemovesTapAndEngineButKeepsConsumers) {
    startAndSettle();
    const Uuid id = Uuid::make();
    session_->consumers().add([](const auto&, const auto&) {}, id);
    session_->stop();
    session_->stop();
    EXPECT_EQ(session_->status().kind(), Kind::idle);
    EXPECT_FALSE(session_->inputFormat().has_value());
    EXPECT_FALSE(engine_->isTapInstalled());
    EXPECT_EQ(engine_->stopCount(), 1);
    EXPECT_TRUE(session_->consumers().contains(id));
}

TEST_F(AudioSessionTest, WakeAndConfigurationChangesRestartOnlyARunningSessionAndKeepConsumers) {
    workspace_->post(kWorkspaceDidWakeNotification);
    loop_.runUntilIdle();
    EXPECT_EQ(engine_->startCount(), 0);

    startAndSettle();
    std::atomic<int> received{0};
    session_->consumers().add([&](const auto&, const auto&) { ++received; }, Uuid::make());
    workspace_->post(kWorkspaceDidWakeNotification);
    loop_.runUntilIdle();
    EXPECT_EQ(session_->status().kind(), Kind::running);
    EXPECT_TRUE(engine_->pushBuffer(AudioBuffer::make({48000, 1}, 1024)));
    EXPECT_EQ(received.load(), 1);
    EXPECT_EQ(logCount("Reiniciando el audio: el equipo despertó"), 1);

    // The second change finds the session idle while its restart waits, and is ignored.
    engine_->setInputFormat({16000, 2});
    engine_->simulateConfigurationChange();
    engine_->simulateConfigurationChange();
    loop_.runUntilIdle();
    EXPECT_EQ(engine_->startCount(), 3);
    EXPECT_EQ(session_->inputFormat(), (AudioFormat{16000, 2}));
    engine_->simulateConfigurationChange();
    loop_.runUntilIdle();
    EXPECT_EQ(engine_->startCount(), 4);
    EXPECT_EQ(logCount("Reiniciando el audio: cambio de configuración de audio"), 2);
}

TEST_F(AudioSessionTest, StopDuringAPendingPermissionPromptKeepsTheMicrophoneOff) {
    // A stop asked while the prompt was open used to be lost: the answer started capture
    // anyway. Stop is the later request, so the microphone must stay off.
    engine_->setAuthorizationStatus(AudioPermissionStatus::notDetermined);
    session_->start();
    session_->stop();
    engine_->answerPermissionPrompt(true);
    loop_.runUntilIdle();
    EXPECT_EQ(session_->status().kind(), Kind::idle);
    EXPECT_EQ(engine_->startCount(), 0);
    startAndSettle();
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
}

TEST_F(AudioSessionTest, ReleasingTheSessionRemovesItsObserversAndDropsAPendingRestart) {
    startAndSettle();
    engine_->simulateConfigurationChange();
    session_.reset();
    workspace_->post(kWorkspaceDidWakeNotification);
    std::thread([&] { engine_->simulateConfigurationChange(); }).join();
    loop_.runUntilIdle();
    EXPECT_EQ(engine_->startCount(), 1);
}

}  // namespace
}  // namespace vorela
