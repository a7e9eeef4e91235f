#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <functional>
#include <limits>
#include <thread>

#include "Voice/VoiceActivityDetector.h"

namespace vorela {
namespace {

std::shared_ptr<AudioBuffer> makeBuffer(
    AudioFormat format, std::uint32_t frames,
    const std::function<float(std::uint32_t channel, std::uint32_t i)>& sample) {
    auto buffer = AudioBuffer::make(format, frames);
    for (std::uint32_t c = 0; c < format.channelCount; ++c) {
        float* data = buffer->mutableChannelData(c);
        for (std::uint32_t i = 0; i < frames; ++i) data[i] = sample(c, i);
    }
    return buffer;
}

TEST(VoiceActivityDetectorDecibelsTest, KnownBuffers) {
    const double pi = std::acos(-1.0);
    struct Case {
        const char* name;
        std::shared_ptr<AudioBuffer> buffer;
        double expected;
    };
    const Case cases[] = {
        {"empty buffer", AudioBuffer::make({48000, 1}, 0), -60},
        {"digital silence", makeBuffer({48000, 2}, 1024, [](auto, auto) { return 0.0f; }), -180},
        {"full-scale square",
         makeBuffer({48000, 1}, 1024, [](auto, auto i) { return i % 2 ? 1.0f : -1.0f; }), 0},
        {"half-scale square",
         makeBuffer({48000, 1}, 1024, [](auto, auto i) { return i % 2 ? 0.5f : -0.5f; }),
         20 * std::log10(0.5)},
        {"full-scale sine",
         makeBuffer({48000, 1}, 1024,
                    [&](auto, auto i) { return static_cast<float>(std::sin(2 * pi * i / 64.0)); }),
         20 * std::log10(std::sqrt(0.5))},
        {"stereo with one silent channel",
         makeBuffer({48000, 2}, 1024,
                    [](auto c, auto i) { return c == 0 ? (i % 2 ? 1.0f : -1.0f) : 0.0f; }),
         20 * std::log10(std::sqrt(0.5))},
        {"no channels", AudioBuffer::make({48000, 0}, 1024), -180},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(VoiceActivityDetector::decibels(*c.buffer), c.expected, 1e-4);
    }
}

TEST(VoiceActivityDetectorDecibelsTest, NonFiniteSamplesCountAsSilence) {
    // One NaN sample from a misbehaving device made the whole buffer's level NaN, and the
    // meter with it. A NaN or infinite sample measures nothing, so it counts as silence.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* name;
        std::shared_ptr<AudioBuffer> buffer;
        double expected;
    };
    const Case cases[] = {
        {"every sample NaN", makeBuffer({48000, 1}, 256, [&](auto, auto) { return nan; }), -180},
        {"one NaN in a full-scale square",
         makeBuffer({48000, 1}, 1024,
                    [&](auto, auto i) { return i == 5 ? nan : (i % 2 ? 1.0f : -1.0f); }),
         20 * std::log10(std::sqrt(1023.0 / 1024))},
        {"infinities of both signs in the second channel",
         makeBuffer({48000, 2}, 1024,
                    [&](auto c, auto i) { return c == 0 ? 0.5f : (i % 2 ? inf : -inf); }),
         20 * std::log10(std::sqrt(0.125))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const double decibels = VoiceActivityDetector::decibels(*c.buffer);
        ASSERT_TRUE(std::isfinite(decibels));
        EXPECT_NEAR(decibels, c.expected, 1e-4);
    }
}

class VoiceActivityDetectorTest : public ::testing::Test {
protected:
    VoiceActivityDetector vad_;
    double t_ = 1000;
};

TEST_F(VoiceActivityDetectorTest, InitialThresholdsOpenAtMinus38HoldAtMinus44AndCloseAfterTheHold) {
    EXPECT_FALSE(vad_.update(-38.01, t_).isSpeaking);
    EXPECT_TRUE(vad_.update(-38, t_).isSpeaking);  // -50 + 12, equality opens
    // Times are literals whose differences come out at or above 0.35 in binary.
    EXPECT_TRUE(vad_.update(-44, 1001.0).isSpeaking);  // -50 + 6 holds and renews
    EXPECT_TRUE(vad_.update(-44.1, 1001.34).isSpeaking);
    EXPECT_FALSE(vad_.update(-44.1, 1001.35).isSpeaking);  // exactly the hold closes
}

TEST_F(VoiceActivityDetectorTest, ALevelBetweenTheThresholdsNeverOpensASilentDetector) {
    for (int i = 0; i < 100; ++i) EXPECT_FALSE(vad_.update(-40, t_ + i * 0.02).isSpeaking);
}

TEST_F(VoiceActivityDetectorTest,
       OneLoudBufferAfterLongSilenceOpensAtOnceAndOneQuietBufferDoesNotClose) {
    for (int i = 0; i < 500; ++i) vad_.update(-80, t_ + i * 0.02);
    EXPECT_TRUE(vad_.update(-10, t_ + 10).isSpeaking);
    EXPECT_TRUE(vad_.update(-80, t_ + 10.02).isSpeaking);
    EXPECT_TRUE(vad_.update(-80, t_ + 10.3).isSpeaking);
}

TEST_F(VoiceActivityDetectorTest, LevelMapsMinus60To0AndClampsAtBothEnds) {
    struct Case {
        const char* name;
        double decibels;
        double level;
    };
    for (const Case& c : {Case{"below range", -70, 0}, Case{"bottom", -60, 0},
                          Case{"middle", -30, 0.5}, Case{"top", 0, 1}, Case{"above range", 3, 1}}) {
        SCOPED_TRACE(c.name);
        EXPECT_DOUBLE_EQ(vad_.update(c.decibels, t_).level, c.level);
        EXPECT_DOUBLE_EQ(vad_.level(), c.level);
    }
}

TEST_F(VoiceActivityDetectorTest, NonFiniteDecibelsKeepTheLevelWithinTheMeter) {
    // A NaN level slipped through both clamps (every comparison with NaN is false) and
    // reached the meter as NaN. NaN reads as silence; the infinities clamp like any level.
    struct Case {
        const char* name;
        double decibels;
        double level;
        bool isSpeaking;
    };
    const double inf = std::numeric_limits<double>::infinity();
    for (const Case& c :
         {Case{"NaN", std::nan(""), 0, false}, Case{"minus infinity", -inf, 0, false},
          Case{"plus infinity", inf, 1, true}}) {
        SCOPED_TRACE(c.name);
        vad_.reset();
        const auto reading = vad_.update(c.decibels, t_);
        EXPECT_EQ(reading, (VoiceActivityDetector::Reading{c.level, c.isSpeaking}));
        EXPECT_EQ(vad_.level(), c.level);
    }
}

TEST_F(VoiceActivityDetectorTest, AConfigReplacedWhileSpeakingKeepsTheFlagUntilUpdatesDecide) {
    vad_.update(-30, t_);
    VoiceActivityDetector::Config quiet;
    quiet.noiseFloor = -20;  // open at -8, close below -14
    vad_.setConfig(quiet);
    EXPECT_EQ(vad_.config(), quiet);
    EXPECT_TRUE(vad_.isSpeaking());
    EXPECT_TRUE(vad_.update(-30, t_ + 0.2).isSpeaking);    // below the new close, hold runs
    EXPECT_FALSE(vad_.update(-30, t_ + 0.35).isSpeaking);  // measured from the old loud update
    EXPECT_FALSE(vad_.update(-30, t_ + 0.4).isSpeaking);   // -30 no longer opens
}

TEST_F(VoiceActivityDetectorTest, TapThreadUpdatesWhileTheMainThreadReconfiguresAndResets) {
    std::atomic<int> callbacks{0};
    const auto updates = vad_.setOnUpdate([&](double level, bool) {
        EXPECT_GE(level, 0);
        EXPECT_LE(level, 1);
        ++callbacks;
    });
    std::atomic<bool> done{false};
    std::thread tap([&] {
        for (int i = 0; i < 20000; ++i) {
            const auto reading = vad_.update(i % 3 ? -20 : -80, 1000 + i * 0.001);
            if (auto callback = vad_.onUpdate()) (*callback)(reading.level, reading.isSpeaking);
        }
        done = true;
    });
    VoiceActivityDetector::Config config;
    while (!done) {
        config.noiseFloor = config.noiseFloor < -40 ? -30 : -60;
        vad_.setConfig(config);
        vad_.reset();
    }
    tap.join();
    EXPECT_EQ(callbacks.load(), 20000);
}

}  // namespace
}  // namespace vorela
