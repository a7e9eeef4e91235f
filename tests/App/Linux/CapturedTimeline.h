#pragma once

#include <atomic>
#include <memory>
#include <optional>

#include "Platform/Audio/AudioEngine.h"

namespace vorela::testing {

// The real engine with a count of what it captured: how many seconds of audio had reached
// the application since the first sound (a sample that is not digital zero). An idle null
// sink's monitor hands its silence over in bursts, so wall time says little about where
// the reading is; the captured audio says exactly where it is.
class CapturedTimeline final : public AudioEngine {
public:
    explicit CapturedTimeline(std::shared_ptr<AudioEngine> engine) : engine_(std::move(engine)) {}

    // Seconds of audio captured since the first sound; nothing before it.
    std::optional<double> secondsSinceFirstSound() const {
        const long first = firstSound_.load();
        if (first < 0 || rate_.load() <= 0) return std::nullopt;
        return double(frames_.load() - first) / rate_.load();
    }

    AudioPermissionStatus authorizationStatus() override { return engine_->authorizationStatus(); }
    void requestAccess(PermissionCompletion completion) override {
        engine_->requestAccess(std::move(completion));
    }
    AudioFormat inputFormat(int bus) override { return engine_->inputFormat(bus); }
    void installTap(int bus, std::uint32_t bufferSize, AudioFormat format,
                    TapBlock block) override {
        engine_->installTap(bus, bufferSize, format,
                            [this, block = std::move(block)](const auto& buffer, const auto& time) {
                                if (buffer) count(*buffer);
                                block(buffer, time);
                            });
    }
    void removeTap(int bus) override { engine_->removeTap(bus); }
    void prepare() override { engine_->prepare(); }
    std::optional<AudioEngineError> start() override { return engine_->start(); }
    void stop() override { engine_->stop(); }
    std::shared_ptr<NotificationCenter> notificationCenter() override {
        return engine_->notificationCenter();
    }

private:
    void count(const AudioBuffer& buffer) {
        rate_ = buffer.format().sampleRate;
        const float* samples = buffer.channelData(0);
        if (firstSound_.load() < 0 && samples) {
            for (std::uint32_t i = 0; i < buffer.frameLength(); ++i) {
                if (samples[i] != 0) {
                    firstSound_ = frames_.load() + long(i);
                    break;
                }
            }
        }
        frames_ += buffer.frameLength();
    }

    std::shared_ptr<AudioEngine> engine_;
    std::atomic<long> frames_{0};
    std::atomic<long> firstSound_{-1};
    std::atomic<double> rate_{0};
};

}  // namespace vorela::testing
