#include <gtest/gtest.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "App/AppState.h"
#include "Platform/Accessibility/Fake/FakeAccessibilitySettings.h"
#include "Platform/Audio/Linux/PortAudioEngine.h"
#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Loop/Linux/QtRunLoop.h"
#include "Platform/Observation/NotificationCenter.h"
#include "Platform/Pasteboard/Fake/FakePasteboard.h"
#include "Platform/Time/Clock.h"
#include "Platform/Updates/Fake/FakeUpdater.h"
#include "Support/FakeTextSurface.h"
#include "Support/PulseServer.h"

namespace vorela {
namespace {

namespace fs = std::filesystem;
using testing::runProgram;

QCoreApplication& application() {
    static int argc = 1;
    static char name[] = "vorela-tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// The central state on the real microphone path: its own PulseAudio server, PortAudio
// through ALSA's pulse plugin, Qt's event loop and the system clock. Sound played into
// the server's sink is what the state hears. Frames are delivered by hand every 20 ms.
class VoiceEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        application();
        if (!pulse_.start()) GTEST_SKIP() << "no PulseAudio server could start here";
        setenv("PULSE_SERVER", pulse_.server().c_str(), 1);
        setenv("PULSE_SOURCE", "vmic_mon", 1);
        previousDefaults_ = UserDefaults::standard();
        UserDefaults::setStandard(defaults_);
        state_ = std::make_unique<AppState>(AppServices{
            .runLoop = loop_,
            .accessibility = accessibility_,
            .audioEngine = std::make_shared<PortAudioEngine>(loop_),
            .workspaceCenter = std::make_shared<NotificationCenter>(loop_),
            .updateFramework = updates_,
            .pasteboard = pasteboard_,
            .makeTranscriptionEngine = {},
            .telemetry = telemetry_,
            .updateInfo = [](std::string_view) { return std::optional<std::string>(); },
        });
    }
    void TearDown() override {
        if (player_.joinable()) player_.join();
        state_.reset();
        pump(0.1);
        telemetry_.waitUntilIdle();
        if (previousDefaults_) UserDefaults::setStandard(previousDefaults_);
        unsetenv("PULSE_SERVER");
        unsetenv("PULSE_SOURCE");
        std::error_code ignored;
        fs::remove_all(logFolder_, ignored);
    }

    // Runs the event loop for `seconds` of real time, a frame every 20 ms, calling
    // `onFrame` after each.
    void pump(double seconds, const std::function<void()>& onFrame = {}) {
        const double end = clock().uptime() + seconds;
        while (clock().uptime() < end) {
            QEventLoop wait;
            QTimer::singleShot(20, &wait, &QEventLoop::quit);
            wait.exec();
            surface_->fire(clock().uptime());
            if (onFrame) onFrame();
        }
    }

    // Silence, a Spanish sentence, a pause, the sentence again, silence: a 16 kHz WAV.
    // The speech segments' lengths in seconds are returned.
    std::optional<double> makeReading(const std::string& text, double leadSeconds,
                                      double pauseSeconds) {
        const auto wav = [&](const char* name) { return (pulse_.dir() / name).string(); };
        if (runProgram({"espeak-ng", "-v", "es", "-s", "150", "-w", wav("raw.wav"), text}) != 0)
            return std::nullopt;
        const std::vector<std::string> pcm = {"-r", "16000", "-c", "1", "-b", "16"};
        auto sox = [&](std::vector<std::string> head, std::vector<std::string> tail) {
            head.insert(head.end(), pcm.begin(), pcm.end());
            head.insert(head.end(), tail.begin(), tail.end());
            return runProgram(head) == 0;
        };
        const bool made =
            sox({"sox", wav("raw.wav")}, {wav("speech.wav"), "silence", "1", "0.02", "1%",
                                          "reverse", "silence", "1", "0.02", "1%", "reverse"}) &&
            sox({"sox", "-n"}, {wav("lead.wav"), "trim", "0", std::to_string(leadSeconds)}) &&
            sox({"sox", "-n"}, {wav("pause.wav"), "trim", "0", std::to_string(pauseSeconds)}) &&
            runProgram({"sox", wav("lead.wav"), wav("speech.wav"), wav("pause.wav"),
                        wav("speech.wav"), wav("lead.wav"), wav("reading.wav")}) == 0;
        if (!made) return std::nullopt;
        return (fs::file_size(pulse_.dir() / "speech.wav") - 44) / (16000.0 * 2);
    }
    // Plays the reading into the server's sink while the test pumps the event loop.
    void play() {
        player_ = std::thread([this] {
            runProgram({"paplay", "--latency-msec=250", "--device=vspk",
                        (pulse_.dir() / "reading.wav").string()},
                       pulse_.env());
        });
    }

    static const Clock& clock() { return SystemClock::shared(); }
    static fs::path makeTemporaryFolder() {
        char pattern[] = "/tmp/vorela-e2e-XXXXXX";
        return mkdtemp(pattern);
    }

    testing::PulseServer pulse_;
    QObject context_;
    QtRunLoop loop_{&context_, SystemClock::shared()};
    std::shared_ptr<UserDefaults> defaults_ = UserDefaults::inMemory();
    std::shared_ptr<UserDefaults> previousDefaults_;
    fs::path logFolder_ = makeTemporaryFolder();
    MatcherTelemetry telemetry_{logFolder_, SystemClock::shared()};
    FakeAccessibilitySettings accessibility_;
    FakeUpdateFramework updates_{loop_};
    FakePasteboard pasteboard_;
    std::shared_ptr<FakeTextSurface> surface_ = std::make_shared<FakeTextSurface>();
    std::thread player_;
    std::unique_ptr<AppState> state_;
};

const char* const kSentence = "Buenas tardes a todos y bienvenidos al programa de esta noche";

TEST_F(VoiceEndToEndTest, VoiceActivatedTextMovesOnlyWhileTheVoicePlays) {
    constexpr double kLead = 1.5, kPause = 2.5;
    const auto speech = makeReading(kSentence, kLead, kPause);
    ASSERT_TRUE(speech) << "espeak-ng and sox make the reading";
    AppState& state = *state_;
    std::string text;
    for (int i = 0; i < 200; ++i) text += "palabra ";
    state.load(text, "prueba");
    surface_->layOut(200, 20);
    state.attach(surface_);
    state.setWpm(150);
    state.setMode(PrompterMode::voiceActivated);
    pump(0.5);
    ASSERT_EQ(state.audioSession().status(), AudioSession::Status::running())
        << state.audioSession().status().message();

    struct Frame {
        double t, position;
        bool speaking;
    };
    std::vector<Frame> frames;
    play();
    // Room for a server that starts playing late on a loaded machine.
    pump(kLead + 2 * *speech + kPause + kLead + 4, [&] {
        frames.push_back({clock().uptime(), state.wordPosition(), state.isSpeaking.get()});
    });
    ASSERT_FALSE(frames.empty());

    // Stream times are unknown here; the first onset of speech anchors the timeline.
    const auto onset =
        std::find_if(frames.begin(), frames.end(), [](auto& f) { return f.speaking; });
    ASSERT_NE(onset, frames.end()) << "the voice was never heard";
    const double t0 = onset->t;
    auto positionAt = [&](double t) {
        double p = 0;
        for (const auto& f : frames)
            if (f.t <= t) p = f.position;
        return p;
    };
    for (std::size_t i = 1; i < frames.size(); ++i)
        ASSERT_GE(frames[i].position, frames[i - 1].position) << "never backwards";
    EXPECT_EQ(positionAt(t0 - 0.05), 0) << "nothing moves before the voice";
    const double firstEnd = t0 + *speech;
    // The hold keeps the flag 0.35 s after the voice; then the text stands still.
    const double held = positionAt(firstEnd + 0.6);
    EXPECT_EQ(positionAt(firstEnd + kPause - 0.3), held) << "the pause holds the text";
    EXPECT_GT(held, 0.6 * *speech * 150 / 60) << "the text moved while the voice played";
    EXPECT_GT(positionAt(firstEnd + kPause + *speech), held + 0.6 * *speech * 150 / 60)
        << "and moves on with the voice";
    const double last = frames.back().position;
    EXPECT_EQ(positionAt(frames.back().t - 0.5), last) << "silence at the end holds it";
    std::printf("voice-activated: onset %.2f s after play, %.1f words over %.2f s of voice\n",
                t0 - frames.front().t, last, 2 * *speech);
}

TEST_F(VoiceEndToEndTest, CalibrationMeasuresTheServersSilenceAndAReading) {
    const auto speech = makeReading(kSentence, 0.2, 0.3);
    ASSERT_TRUE(speech);
    AppState& state = *state_;
    std::optional<std::optional<double>> silence;
    // An idle null sink hands its monitor over in blocks of up to 2 s.
    state.calibrateNoiseFloor(3, [&](std::optional<double> f) { silence = f; });
    pump(3.5);
    ASSERT_TRUE(silence.has_value()) << "the calibration ended";
    ASSERT_TRUE(silence->has_value()) << "buffers arrived";
    EXPECT_LT(**silence, -100) << "an idle null sink is digital silence";
    EXPECT_EQ(state.voice().vad().config().noiseFloor, **silence);
    EXPECT_NE(state.audioSession().status(), AudioSession::Status::running())
        << "the manual mode gives the microphone back";

    std::optional<std::optional<double>> reading;
    play();
    pump(0.4);
    state.calibrateNoiseFloor(*speech, [&](std::optional<double> f) { reading = f; });
    pump(*speech + 0.6);
    ASSERT_TRUE(reading.has_value() && reading->has_value());
    EXPECT_GT(**reading, -40) << "speech is loud";
    EXPECT_LT(**reading, 0);
    EXPECT_EQ(state.voiceProfile.get().noiseFloor, **reading);
    std::printf("calibration: silence %.1f dBFS, reading %.1f dBFS\n", **silence, **reading);
}

}  // namespace
}  // namespace vorela
