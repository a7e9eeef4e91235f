#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "Platform/Audio/Linux/PortAudioEngine.h"
#include "Platform/Log/Log.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Support/PulseServer.h"
#include "Support/RecordingLogSink.h"
#include "Voice/AudioSession.h"
#include "Voice/VoiceActivityDetector.h"

namespace vorela {
namespace {

namespace fs = std::filesystem;

using testing::PulseServer;
using testing::runProgram;

TEST(PortAudioEngineTest, WithoutASoundServerThereIsNoInputDevice) {
    if (fs::exists("/proc/asound/cards")) GTEST_SKIP() << "this machine has a sound card";
    setenv("PULSE_SERVER", "unix:/nonexistent/vorela/native", 1);
    auto sink = std::make_shared<vorela::testing::RecordingLogSink>();
    auto previous = Log::setSink(sink);
    ManualRunLoop loop;
    auto engine = std::make_shared<PortAudioEngine>(loop);
    AudioSession session(loop, engine, std::make_shared<NotificationCenter>(loop));
    session.start();
    loop.runUntilIdle();
    Log::setSink(previous);
    unsetenv("PULSE_SERVER");
    EXPECT_EQ(session.status(), AudioSession::Status::noInputDevice());
    EXPECT_EQ(engine->authorizationStatus(), AudioPermissionStatus::authorized);
    const auto lines = sink->messages("audio");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "No hay dispositivo de entrada disponible.");
}

struct Reading {
    double streamSeconds = 0;
    double decibels = 0;
    bool isSpeaking = false;
};

TEST(PortAudioEngineTest, CapturesSpeechAndSilenceFromARealSoundServer) {
    PulseServer pulse;
    if (!pulse.start()) GTEST_SKIP() << "no PulseAudio server could start here";
    const fs::path dir = pulse.dir();
    const auto wav = [&](const char* name) { return (dir / name).string(); };

    // 1 s silence, 0.8 s tone, 1.5 s silence, the trimmed sentence, 1.5 s silence.
    constexpr double kToneSeconds = 0.8, kGapSeconds = 1.5;
    const std::vector<std::string> pcm = {"-r", "16000", "-c", "1", "-b", "16"};
    auto sox = [&](std::vector<std::string> head, std::vector<std::string> tail) {
        head.insert(head.end(), pcm.begin(), pcm.end());
        head.insert(head.end(), tail.begin(), tail.end());
        return runProgram(head);
    };
    ASSERT_EQ(runProgram({"espeak-ng", "-v", "es", "-s", "150", "-w", wav("raw.wav"),
                          "Buenas tardes a todos y bienvenidos al programa de esta noche"}),
              0)
        << "espeak-ng";
    ASSERT_EQ(sox({"sox", wav("raw.wav")}, {wav("speech.wav"), "silence", "1", "0.02", "1%",
                                            "reverse", "silence", "1", "0.02", "1%", "reverse"}),
              0)
        << "sox";
    ASSERT_EQ(sox({"sox", "-n"}, {wav("gap.wav"), "trim", "0", "1.5"}), 0);
    ASSERT_EQ(sox({"sox", "-n"}, {wav("lead.wav"), "trim", "0", "1"}), 0);
    ASSERT_EQ(sox({"sox", "-n"}, {wav("tone.wav"), "synth", "0.8", "sine", "440", "vol", "0.5"}),
              0);
    ASSERT_EQ(runProgram({"sox", wav("lead.wav"), wav("tone.wav"), wav("gap.wav"),
                          wav("speech.wav"), wav("gap.wav"), wav("test.wav")}),
              0);
    const double speechSeconds = (fs::file_size(dir / "speech.wav") - 44) /
                                 (16000.0 * 2);  // 16-bit mono after a 44-byte header
    ASSERT_GT(speechSeconds, 1.5);

    setenv("PULSE_SERVER", pulse.server().c_str(), 1);
    setenv("PULSE_SOURCE", "vmic_mon", 1);
    ManualRunLoop loop;
    auto engine = std::make_shared<PortAudioEngine>(loop);
    AudioSession session(loop, engine, std::make_shared<NotificationCenter>(loop));
    VoiceActivityDetector vad;

    std::mutex mutex;
    std::condition_variable captured;
    std::vector<Reading> readings;
    std::vector<std::shared_ptr<const AudioBuffer>> kept;
    std::vector<double> keptSums;
    session.consumers().add(
        [&](const std::shared_ptr<const AudioBuffer>& buffer, const AudioTime& time) {
            const double seconds = time.sampleTime / buffer->format().sampleRate;
            const double d = VoiceActivityDetector::decibels(*buffer);
            // Stream time, not arrival time: the server may hand audio over in bursts.
            const auto reading = vad.update(d, 1000 + seconds);
            double sum = 0;
            for (std::uint32_t i = 0; i < buffer->frameLength(); ++i)
                sum += buffer->channelData(0)[i];
            std::lock_guard guard(mutex);
            readings.push_back({seconds, d, reading.isSpeaking});
            kept.push_back(buffer);
            keptSums.push_back(sum);
            captured.notify_all();
        },
        Uuid::make());

    session.start();
    loop.runUntilIdle();
    ASSERT_EQ(session.status(), AudioSession::Status::running()) << session.status().message();
    ASSERT_TRUE(session.inputFormat().has_value());
    const AudioFormat format = *session.inputFormat();

    EXPECT_EQ(
        runProgram({"paplay", "--latency-msec=250", "--device=vspk", wav("test.wav")}, pulse.env()),
        0);
    // Counted from the tone's onset: on a loaded machine the capture may start well before
    // the server plays anything.
    const double wanted = kToneSeconds + kGapSeconds + speechSeconds + kGapSeconds;
    {
        std::unique_lock lock(mutex);
        captured.wait_for(lock, std::chrono::seconds(40), [&] {
            const auto loud = std::find_if(readings.begin(), readings.end(),
                                           [](const Reading& r) { return r.decibels > -30; });
            return loud != readings.end() &&
                   readings.back().streamSeconds > loud->streamSeconds + wanted;
        });
    }
    session.stop();
    unsetenv("PULSE_SERVER");
    unsetenv("PULSE_SOURCE");
    loop.runUntilIdle();

    std::lock_guard guard(mutex);
    const auto onset = std::find_if(readings.begin(), readings.end(),
                                    [](const Reading& r) { return r.decibels > -30; });
    ASSERT_NE(onset, readings.end()) << "the tone never arrived";
    const double tone = onset->streamSeconds;
    const double speech = tone + kToneSeconds + kGapSeconds;
    const double after = speech + speechSeconds;
    auto fractionSpeaking = [&](double from, double to) {
        int speaking = 0, total = 0;
        for (const auto& r : readings) {
            if (r.streamSeconds < from || r.streamSeconds > to) continue;
            ++total;
            speaking += r.isSpeaking;
        }
        EXPECT_GT(total, 0) << "nothing captured between " << from << " and " << to;
        return total ? static_cast<double>(speaking) / total : -1;
    };
    // The hold keeps speech on for 0.35 s after the last loud buffer; buffers are ~21 ms,
    // and a loaded machine may let the player slip the sentence a few buffers later.
    EXPECT_EQ(fractionSpeaking(tone + kToneSeconds + 0.45, speech - 0.1), 0)
        << "gap after the tone";
    EXPECT_GE(fractionSpeaking(speech + 0.1, after - 0.1), 0.9) << "during the sentence";
    EXPECT_EQ(fractionSpeaking(after + 0.7, after + kGapSeconds - 0.1), 0)
        << "gap after the sentence";

    // Every buffer is its own memory and none changed after its delivery.
    std::set<const float*> planes;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(kept[i]->format(), format);
        EXPECT_EQ(kept[i]->frameLength(), 1024u);
        planes.insert(kept[i]->channelData(0));
        double sum = 0;
        for (std::uint32_t f = 0; f < kept[i]->frameLength(); ++f)
            sum += kept[i]->channelData(0)[f];
        EXPECT_EQ(sum, keptSums[i]) << "buffer " << i << " was overwritten";
    }
    EXPECT_EQ(planes.size(), kept.size());
}

// A session capturing from a private sound server through the real engine, counting its
// buffers, with its log recorded.
class PortAudioEngineServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!pulse_.start()) GTEST_SKIP() << "no PulseAudio server could start here";
        setenv("PULSE_SERVER", pulse_.server().c_str(), 1);
        previousSink_ = Log::setSink(sink_);
        session_ = std::make_unique<AudioSession>(loop_, std::make_shared<PortAudioEngine>(loop_),
                                                  std::make_shared<NotificationCenter>(loop_));
        session_->consumers().add([this](const auto&, const auto&) { ++buffers_; }, Uuid::make());
        session_->start();
        loop_.runUntilIdle();
        ASSERT_EQ(session_->status(), AudioSession::Status::running())
            << session_->status().message();
    }
    void TearDown() override {
        if (previousSink_) Log::setSink(previousSink_);
        unsetenv("PULSE_SERVER");
    }

    std::vector<std::string> audioLog() const { return sink_->messages("audio"); }

    PulseServer pulse_;
    std::shared_ptr<vorela::testing::RecordingLogSink> sink_ =
        std::make_shared<vorela::testing::RecordingLogSink>();
    std::shared_ptr<LogSink> previousSink_;
    ManualRunLoop loop_;
    std::unique_ptr<AudioSession> session_;
    std::atomic<int> buffers_{0};
};

TEST_F(PortAudioEngineServerTest,
       LosingTheSoundServerRaisesAConfigurationChangeAndTheSessionRestarts) {
    // The capture thread hands the notification to the main loop; wait for it to arrive
    // beside the timers already there (the capture's watchdog).
    const std::size_t scheduled = loop_.pendingTaskCount();
    pulse_.stop();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (loop_.pendingTaskCount() == scheduled && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    loop_.runUntilIdle();
    EXPECT_NE(session_->status().kind(), AudioSession::Status::Kind::running);
    const auto lines = audioLog();
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "Reiniciando el audio: cambio de configuración de audio"),
              1);
    EXPECT_EQ(session_->consumers().count(), 1u);
}

// A server restarted under a capture wedged the pulse plugin: no buffer ever came again
// and stop() joined the stuck thread forever. The watchdog restarts on a fresh stream.
TEST_F(PortAudioEngineServerTest, ASoundServerRestartedUnderACaptureIsHeardAgainAndStopReturns) {
    // Virtual time follows real time here, so the session's own timers see what a user would.
    const auto pumpUntil = [&](auto done, double seconds) {
        const auto deadline = std::chrono::steady_clock::now() +
                              std::chrono::milliseconds(static_cast<int>(seconds * 1000));
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            loop_.advanceBy(0.05);
        }
        return done();
    };
    ASSERT_TRUE(pumpUntil([&] { return buffers_.load() > 10; }, 10));

    pulse_.stop();
    ASSERT_TRUE(pulse_.start());
    const int before = buffers_.load();
    EXPECT_TRUE(pumpUntil([&] { return buffers_.load() > before + 10; }, 20))
        << "capture never resumed after the restart";
    const auto stopping = std::chrono::steady_clock::now();
    session_->stop();
    EXPECT_LT(std::chrono::steady_clock::now() - stopping, std::chrono::seconds(3));
    const auto lines = audioLog();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "El micrófono dejó de enviar audio"),
              lines.end());
}

}  // namespace
}  // namespace vorela
