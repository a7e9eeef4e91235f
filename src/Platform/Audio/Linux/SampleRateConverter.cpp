#include "Platform/Audio/Linux/SampleRateConverter.h"

#include <samplerate.h>

namespace vorela {

std::unique_ptr<AudioConverter> SampleRateConverter::make(const AudioFormat& from,
                                                          const AudioFormat& to) {
    if (from.sampleRate <= 0 || to.sampleRate <= 0 || from.channelCount == 0 ||
        to.channelCount == 0 || (to.channelCount != 1 && to.channelCount != from.channelCount))
        return nullptr;
    int error = 0;
    SRC_STATE* state = src_new(SRC_SINC_FASTEST, static_cast<int>(to.channelCount), &error);
    if (!state) return nullptr;
    return std::unique_ptr<AudioConverter>(new SampleRateConverter(from, to, state));
}

SampleRateConverter::SampleRateConverter(AudioFormat from, AudioFormat to, SRC_STATE* state)
    : from_(from), to_(to), state_(state) {}

SampleRateConverter::~SampleRateConverter() { src_delete(state_); }

std::shared_ptr<const AudioBuffer> SampleRateConverter::convert(const AudioBuffer& buffer,
                                                                std::uint32_t capacityFrames) {
    const std::uint32_t frames = buffer.frameLength();
    const std::uint32_t channels = to_.channelCount;
    if (frames == 0 || capacityFrames == 0 || !(buffer.format() == from_)) return nullptr;
    interleavedIn_.assign(static_cast<std::size_t>(frames) * channels, 0.0f);
    if (channels == 1) {
        for (std::uint32_t c = 0; c < from_.channelCount; ++c) {
            const float* in = buffer.channelData(c);
            for (std::uint32_t i = 0; i < frames; ++i)
                interleavedIn_[i] += in[i] / static_cast<float>(from_.channelCount);
        }
    } else {
        for (std::uint32_t c = 0; c < channels; ++c) {
            const float* in = buffer.channelData(c);
            for (std::uint32_t i = 0; i < frames; ++i) interleavedIn_[i * channels + c] = in[i];
        }
    }
    interleavedOut_.resize(static_cast<std::size_t>(capacityFrames) * channels);
    SRC_DATA data{};
    data.data_in = interleavedIn_.data();
    data.input_frames = frames;
    data.data_out = interleavedOut_.data();
    data.output_frames = capacityFrames;
    data.src_ratio = to_.sampleRate / from_.sampleRate;
    data.end_of_input = 0;
    if (src_process(state_, &data) != 0 || data.output_frames_gen <= 0) return nullptr;
    auto out = AudioBuffer::make(to_, static_cast<std::uint32_t>(data.output_frames_gen));
    for (std::uint32_t c = 0; c < channels; ++c) {
        float* dst = out->mutableChannelData(c);
        for (long i = 0; i < data.output_frames_gen; ++i)
            dst[i] = interleavedOut_[i * channels + c];
    }
    return out;
}

}  // namespace vorela
