#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "Platform/Audio/AudioBuffer.h"
#include "Platform/Audio/AudioFormat.h"

namespace vorela {

// Converts a stream of buffers from one format to another (rate and channel count). It
// keeps its filter state from call to call, so consecutive buffers join without clicks.
// One thread at a time.
class AudioConverter {
public:
    virtual ~AudioConverter() = default;
    virtual const AudioFormat& inputFormat() const = 0;
    virtual const AudioFormat& outputFormat() const = 0;
    // Consumes exactly this buffer; the output holds at most capacityFrames frames.
    // Nothing when the conversion fails or yields no frame yet.
    virtual std::shared_ptr<const AudioBuffer> convert(const AudioBuffer& buffer,
                                                       std::uint32_t capacityFrames) = 0;
};

// Nothing when the library cannot convert between the two formats.
using MakeAudioConverter =
    std::function<std::unique_ptr<AudioConverter>(const AudioFormat& from, const AudioFormat& to)>;

}  // namespace vorela
