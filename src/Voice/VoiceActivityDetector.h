#pragma once

#include <functional>
#include <memory>
#include <mutex>

#include "Platform/Audio/AudioBuffer.h"
#include "Platform/Observation/Subscription.h"

namespace vorela {

// Turns microphone levels into a loudness between 0 and 1 and a speaking flag with
// hysteresis: speech opens at noiseFloor + openOffset, is held while the level stays at
// or above noiseFloor + closeOffset, and ends once it has stayed below that for holdTime.
// update() runs on the audio tap thread; config changes and reset() on the main thread.
// Each takes the detector's lock and nothing else is done under it.
class VoiceActivityDetector final {
public:
    struct Config {
        double noiseFloor = -50;  // dBFS
        double openOffset = 12;   // dB above the noise floor at which speech starts
        double closeOffset = 6;   // dB above the noise floor below which speech may end
        double holdTime = 0.35;   // seconds below the close threshold before speech ends

        bool operator==(const Config&) const = default;
    };

    struct Reading {
        double level = 0;  // 0...1
        bool isSpeaking = false;

        bool operator==(const Reading&) const = default;
    };

    // Called by the feeding consumer after every update, on the tap thread.
    using UpdateCallback = std::function<void(double level, bool isSpeaking)>;

    VoiceActivityDetector() = default;
    ~VoiceActivityDetector() = default;
    VoiceActivityDetector(const VoiceActivityDetector&) = delete;
    VoiceActivityDetector& operator=(const VoiceActivityDetector&) = delete;
    VoiceActivityDetector(VoiceActivityDetector&&) = delete;
    VoiceActivityDetector& operator=(VoiceActivityDetector&&) = delete;

    // RMS level of every sample of every channel in dBFS: -60 for an empty buffer, -180
    // for digital silence; NaN and infinite samples count as silence, so the result is
    // always finite. Pure; takes no lock and allocates nothing.
    static double decibels(const AudioBuffer& buffer);

    // d in dBFS (NaN reads as silence), t in seconds of system uptime.
    Reading update(double decibels, double at);

    // A replacement takes effect from the next update; the flag is kept.
    Config config() const;
    void setConfig(const Config& config);

    // Silent, level 0, no time above the close threshold.
    void reset();

    bool isSpeaking() const;
    double level() const;

    // Replaces the callback; it stays until the subscription ends or another replaces it.
    // The subscription may outlive the detector.
    [[nodiscard]] Subscription setOnUpdate(UpdateCallback callback);
    // The callback set by the owner, if any; cheap to call per buffer.
    std::shared_ptr<const UpdateCallback> onUpdate() const;

private:
    mutable std::mutex lock_;
    Config config_;
    bool isSpeaking_ = false;
    double level_ = 0;
    double lastAboveClose_ = 0;
    // Shared with the subscriptions, which may outlive the detector; its own lock.
    struct UpdateSlot {
        std::mutex lock;
        std::shared_ptr<const UpdateCallback> callback;
    };
    std::shared_ptr<UpdateSlot> onUpdate_ = std::make_shared<UpdateSlot>();
};

}  // namespace vorela
