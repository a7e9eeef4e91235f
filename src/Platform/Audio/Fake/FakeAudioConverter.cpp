#include "Platform/Audio/Fake/FakeAudioConverter.h"

#include <algorithm>

namespace vorela {

std::shared_ptr<const AudioBuffer> FakeAudioConverter::convert(const AudioBuffer& buffer,
                                                               std::uint32_t capacityFrames) {
    lastCapacity_ = capacityFrames;
    if (from_.sampleRate <= 0 || buffer.frameLength() == 0) return nullptr;
    const double ratio = to_.sampleRate / from_.sampleRate;
    const auto frames = std::min<std::uint32_t>(
        static_cast<std::uint32_t>(buffer.frameLength() * ratio), capacityFrames);
    if (frames == 0) return nullptr;
    auto out = AudioBuffer::make(to_, frames);
    const float* in = buffer.channelData(0);
    for (std::uint32_t c = 0; c < to_.channelCount; ++c) {
        float* dst = out->mutableChannelData(c);
        for (std::uint32_t i = 0; i < frames; ++i)
            dst[i] = in[std::min(buffer.frameLength() - 1, static_cast<std::uint32_t>(i / ratio))];
    }
    return out;
}

MakeAudioConverter FakeAudioConverter::maker(std::shared_ptr<int> made) {
    return [made](const AudioFormat& from, const AudioFormat& to) {
        if (made) ++*made;
        return std::make_unique<FakeAudioConverter>(from, to);
    };
}

}  // namespace vorela
