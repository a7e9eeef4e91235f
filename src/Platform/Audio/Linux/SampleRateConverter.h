#pragma once

#include <memory>
#include <vector>

#include "Platform/Audio/AudioConverter.h"

typedef struct SRC_STATE_tag SRC_STATE;

namespace vorela {

// libsamplerate's band-limited sinc converter (its fastest setting: ample for speech at
// 16 kHz and cheap enough for the tap thread). Channels are averaged first when the
// output has fewer; the filter state carries across buffers.
class SampleRateConverter final : public AudioConverter {
public:
    // Nothing when the library refuses the formats.
    static std::unique_ptr<AudioConverter> make(const AudioFormat& from, const AudioFormat& to);
    ~SampleRateConverter() override;
    SampleRateConverter(const SampleRateConverter&) = delete;
    SampleRateConverter& operator=(const SampleRateConverter&) = delete;
    SampleRateConverter(SampleRateConverter&&) = delete;
    SampleRateConverter& operator=(SampleRateConverter&&) = delete;

    const AudioFormat& inputFormat() const override { return from_; }
    const AudioFormat& outputFormat() const override { return to_; }
    std::shared_ptr<const AudioBuffer> convert(const AudioBuffer& buffer,
                                               std::uint32_t capacityFrames) override;

private:
    SampleRateConverter(AudioFormat from, AudioFormat to, SRC_STATE* state);

    AudioFormat from_;
    AudioFormat to_;
    SRC_STATE* state_ = nullptr;
    std::vector<float> interleavedIn_;
    std::vector<float> interleavedOut_;
};

}  // namespace vorela
