#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace vorela::follow {

// 16-bit PCM mono WAV output for the synthetic readings.
class WavFile {
public:
    // False when the file cannot be written completely.
    static bool write(const std::filesystem::path& path, const std::vector<std::int16_t>& samples,
                      int sampleRate);
};

}  // namespace vorela::follow
