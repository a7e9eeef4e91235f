#pragma once

#include <cstdint>

namespace vorela {

// The shape of captured audio: 32-bit float samples, one plane per channel
// (non-interleaved). A format with no channels or no positive sample rate means there is
// no usable input.
struct AudioFormat {
    double sampleRate = 0;  // frames per second
    std::uint32_t channelCount = 0;

    bool operator==(const AudioFormat&) const = default;
};

// When a buffer was captured: hostTime is system uptime in seconds at capture,
// sampleTime the index of its first frame since the stream started.
struct AudioTime {
    double hostTime = 0;
    std::int64_t sampleTime = 0;

    bool operator==(const AudioTime&) const = default;
};

}  // namespace vorela
