#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Audio/AudioBuffer.h"

namespace vorela::bench {

// Reads a RIFF WAVE file block by block as float planes: 8-, 16-, 24- and 32-bit integer
// PCM or 32-bit float, any rate and channel count. Only one block is held in memory, so an
// hour of audio costs no more than a second of it.
class WavReader {
public:
    // The reader positioned at the first frame; the reason in `error` when the file is not
    // such a file.
    static std::optional<WavReader> open(const std::filesystem::path& file, std::string& error);

    AudioFormat format() const { return format_; }
    // Whole frames in the data chunk, as far as the file really holds them.
    std::uint64_t frames() const { return frames_; }

    // The next block of at most `maxFrames` frames; nothing at the end of the data.
    std::shared_ptr<AudioBuffer> next(std::uint32_t maxFrames);

private:
    enum class Encoding { unsignedInt, signedInt, floatingPoint };

    WavReader() = default;
    float sample(const unsigned char* bytes) const;

    std::ifstream in_;
    AudioFormat format_;
    Encoding encoding_ = Encoding::signedInt;
    std::size_t sampleBytes_ = 0;
    std::uint64_t frames_ = 0;
    std::uint64_t framesRead_ = 0;
    std::vector<unsigned char> block_;  // raw bytes of the last block, reused
};

}  // namespace vorela::bench
