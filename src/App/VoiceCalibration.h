#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "App/SampleCollector.h"
#include "App/VoiceStateSink.h"
#include "Platform/Loop/TimerHandle.h"
#include "Voice/BufferConsumers.h"

namespace vorela {

class RunLoop;
class VoicePipeline;

// Tunes the voice pipeline to the room and the speaker and keeps the result in the voice
// profile: the noise-floor calibration listens to the room, the recognition test has the
// speaker read calibrationPhrase() while tracking words. Each operation changes a copy of
// the profile, saves it and hands it to the state, then reconfigures the detector or the
// matcher.
//
// Main thread only; the calibration consumer alone runs on the audio tap thread and
// touches only its collector. Completions run on the run loop; once the calibration is
// destroyed none runs. Several operations may run at once, each on its own.
class VoiceCalibration final {
public:
    // The listening windows, in seconds: the room in silence, and the speaker reading the
    // calibration phrase.
    static constexpr double kNoiseFloorSeconds = 2.0;
    static constexpr double kReadingSeconds = 8.0;

    // The measured value, or nothing when nothing usable was heard.
    using Completion = std::function<void(std::optional<double>)>;

    // state, pipeline and loop must outlive the calibration.
    VoiceCalibration(VoiceStateSink& state, VoicePipeline& pipeline, RunLoop& loop);
    ~VoiceCalibration();
    VoiceCalibration(const VoiceCalibration&) = delete;
    VoiceCalibration& operator=(const VoiceCalibration&) = delete;
    VoiceCalibration(VoiceCalibration&&) = delete;
    VoiceCalibration& operator=(VoiceCalibration&&) = delete;

    // Listens for durationSeconds from the first buffer and makes the 90th percentile of
    // the levels (dBFS) the detector's noise floor. Nothing when the microphone is refused
    // or unavailable, or when no buffer arrived within 5 s of the start; the profile is
    // then unchanged.
    void calibrateNoiseFloor(double durationSeconds, Completion completion);
    // Tracks words for durationSeconds and compares every word heard meanwhile with the
    // phrase: the word error rate 0...1, or nothing when fewer than 4 words were heard.
    // The mode in force before is restored, and unless it was word tracking so is the
    // reading place; playback stays playing.
    void measureRecognitionQuality(double durationSeconds, Completion completion);

    // The sentence the speaker reads, numbers spelled out.
    static const std::string& calibrationPhrase();
    // Word-level edit distance over the expected count, at most 1; 0 without expected words.
    static double wordErrorRate(const std::vector<std::string>& expected,
                                const std::vector<std::string>& actual);
    // The audio-thread consumer: one level per buffer into the collector.
    static BufferConsumers::Consumer makeCalibrationConsumer(
        std::shared_ptr<SampleCollector> samples);

private:
    void listen(double durationSeconds, Completion completion);
    void finishListening(const std::shared_ptr<SampleCollector>& samples, const Uuid& consumer,
                         const Completion& completion);
    void finishReading(const std::vector<std::string>& heard, const Completion& completion);
    void endCalibrating();
    // A timer on the run loop, kept until it fires or the calibration goes; erasing its id
    // from sleeps_ cancels it.
    std::uint64_t sleep(double seconds, std::function<void()> then);

    VoiceStateSink& state_;
    VoicePipeline& pipeline_;
    RunLoop& loop_;
    int calibrations_ = 0;  // noise calibrations under way; isCalibrating while above 0
    std::uint64_t nextSleep_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    // Last: pending sleeps are cancelled before anything they use goes.
    std::map<std::uint64_t, TimerHandle> sleeps_;
};

}  // namespace vorela
