#include "Platform/Audio/AudioBuffer.h"

namespace vorela {

AudioBuffer::AudioBuffer(AudioFormat format, std::uint32_t frameLength)
    : format_(format),
      frameLength_(frameLength),
      samples_(static_cast<std::size_t>(frameLength) * format.channelCount, 0.0f) {}

std::shared_ptr<AudioBuffer> AudioBuffer::make(AudioFormat format, std::uint32_t frameLength) {
    return std::make_shared<AudioBuffer>(format, frameLength);
}

double AudioBuffer::duration() const {
    return format_.sampleRate > 0 ? frameLength_ / format_.sampleRate : 0.0;
}

const float* AudioBuffer::channelData(std::uint32_t channel) const {
    if (channel >= format_.channelCount || frameLength_ == 0) return nullptr;
    return samples_.data() + static_cast<std::size_t>(channel) * frameLength_;
}

float* AudioBuffer::mutableChannelData(std::uint32_t channel) {
    if (channel >= format_.channelCount || frameLength_ == 0) return nullptr;
    return samples_.data() + static_cast<std::size_t>(channel) * frameLength_;
}

}  // namespace vorela
