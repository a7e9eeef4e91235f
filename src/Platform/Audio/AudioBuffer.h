#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "Platform/Audio/AudioFormat.h"

namespace vorela {

// A block of captured audio in its format: frameLength frames for each of the format's
// channels, as separate float planes. The producer fills it through mutableChannelData()
// before it hands the buffer on as std::shared_ptr<const AudioBuffer>; from then on it is
// never written again, so any thread may read it and a consumer may keep it.
class AudioBuffer final {
public:
    AudioBuffer(AudioFormat format, std::uint32_t frameLength);
    static std::shared_ptr<AudioBuffer> make(AudioFormat format, std::uint32_t frameLength);

    const AudioFormat& format() const { return format_; }
    std::uint32_t frameLength() const { return frameLength_; }
    std::uint32_t channelCount() const { return format_.channelCount; }
    // Seconds of audio: frameLength / sampleRate (0 without a sample rate).
    double duration() const;

    // The samples of one channel; nothing for a channel the format does not have.
    const float* channelData(std::uint32_t channel) const;
    float* mutableChannelData(std::uint32_t channel);

private:
    AudioFormat format_;
    std::uint32_t frameLength_ = 0;
    std::vector<float> samples_;  // channel after channel, zero-filled at creation
};

}  // namespace vorela
