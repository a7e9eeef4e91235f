#pragma once

#include <memory>

#include "Platform/Audio/AudioConverter.h"

namespace vorela {

// A converter for tests: the output has the rate ratio's share of the input frames
// (nearest earlier sample of the first channel), capped by the capacity. Counts the
// converters made so a test sees when one is rebuilt.
class FakeAudioConverter final : public AudioConverter {
public:
    FakeAudioConverter(AudioFormat from, AudioFormat to) : from_(from), to_(to) {}

    const AudioFormat& inputFormat() const override { return from_; }
    const AudioFormat& outputFormat() const override { return to_; }
    std::shared_ptr<const AudioBuffer> convert(const AudioBuffer& buffer,
                                               std::uint32_t capacityFrames) override;

    // --- test controls ---
    // A maker that counts into `made` (when given).
    static MakeAudioConverter maker(std::shared_ptr<int> made = nullptr);
    std::uint32_t lastCapacity() const { return lastCapacity_; }

private:
    AudioFormat from_;
    AudioFormat to_;
    std::uint32_t lastCapacity_ = 0;
};

}  // namespace vorela
