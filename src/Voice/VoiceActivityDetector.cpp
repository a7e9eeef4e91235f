#include "Voice/VoiceActivityDetector.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vorela {

namespace {
// Floor of the logarithm: digital silence reads as -180 dBFS rather than minus infinity.
constexpr double kMinimumRms = 1e-9;
// Level reported for a buffer that holds no samples at all.
constexpr double kEmptyBufferDecibels = -60;
// What digital silence reads as: 20 * log10(kMinimumRms).
constexpr double kSilenceDecibels = -180;
// The meter spans -60...0 dBFS.
constexpr double kMeterRange = 60;
}  // namespace

double VoiceActivityDetector::decibels(const AudioBuffer& buffer) {
    const std::uint32_t frames = buffer.frameLength();
    if (frames == 0) return kEmptyBufferDecibels;
    const std::uint32_t channels = buffer.channelCount();
    double sum = 0;
    for (std::uint32_t c = 0; c < channels; ++c) {
        const float* samples = buffer.channelData(c);
        if (!samples) return kEmptyBufferDecibels;
        for (std::uint32_t i = 0; i < frames; ++i) {
            // A NaN or infinite sample is no measurement: it counts as silence instead of
            // turning the whole buffer's level into NaN.
            const double s = std::isfinite(samples[i]) ? samples[i] : 0.0;
            sum += s * s;
        }
    }
    const double rms =
        channels == 0 ? 0.0 : std::sqrt(sum / (static_cast<double>(frames) * channels));
    return 20 * std::log10(std::max(rms, kMinimumRms));
}

VoiceActivityDetector::Reading VoiceActivityDetector::update(double d, double t) {
    if (std::isnan(d)) d = kSilenceDecibels;  // never let NaN reach the meter or the flag
    std::lock_guard guard(lock_);
    level_ = std::max(std::min((d + kMeterRange) / kMeterRange, 1.0), 0.0);
    if (d >= config_.noiseFloor + config_.openOffset) {
        isSpeaking_ = true;
        lastAboveClose_ = t;
    } else if (d >= config_.noiseFloor + config_.closeOffset) {
        if (isSpeaking_) lastAboveClose_ = t;
    } else if (isSpeaking_ && t - lastAboveClose_ >= config_.holdTime) {
        isSpeaking_ = false;
    }
    return Reading{level_, isSpeaking_};
}

VoiceActivityDetector::Config VoiceActivityDetector::config() const {
    std::lock_guard guard(lock_);
    return config_;
}

void VoiceActivityDetector::setConfig(const Config& config) {
    std::lock_guard guard(lock_);
    config_ = config;
}

void VoiceActivityDetector::reset() {
    std::lock_guard guard(lock_);
    isSpeaking_ = false;
    level_ = 0;
    lastAboveClose_ = 0;
}

bool VoiceActivityDetector::isSpeaking() const {
    std::lock_guard guard(lock_);
    return isSpeaking_;
}

double VoiceActivityDetector::level() const {
    std::lock_guard guard(lock_);
    return level_;
}

Subscription VoiceActivityDetector::setOnUpdate(UpdateCallback callback) {
    const std::shared_ptr<const UpdateCallback> installed =
        callback ? std::make_shared<const UpdateCallback>(std::move(callback)) : nullptr;
    // The old callback goes after the lock: its captures may lock too.
    std::shared_ptr<const UpdateCallback> old = installed;
    {
        std::lock_guard guard(onUpdate_->lock);
        std::swap(onUpdate_->callback, old);
    }
    return Subscription([weakSlot = std::weak_ptr<UpdateSlot>(onUpdate_),
                         weakInstalled = std::weak_ptr<const UpdateCallback>(installed)] {
        const auto slot = weakSlot.lock();
        const auto mine = weakInstalled.lock();
        if (!slot || !mine) return;
        std::shared_ptr<const UpdateCallback> removed;
        std::lock_guard guard(slot->lock);
        if (slot->callback == mine) removed = std::exchange(slot->callback, nullptr);
    });
}

std::shared_ptr<const VoiceActivityDetector::UpdateCallback> VoiceActivityDetector::onUpdate()
    const {
    std::lock_guard guard(onUpdate_->lock);
    return onUpdate_->callback;
}

}  // namespace vorela
