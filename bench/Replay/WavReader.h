#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vorela::bench {

// A RIFF WAVE file's samples as float planes: 8-, 16-, 24- and 32-bit integer PCM or
// 32-bit float, any rate and channel count.
struct WavAudio {
    double sampleRate = 0;
    std::vector<std::vector<float>> channels;
    std::size_t frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

// The reason in `error` when the file is not such a file.
std::optional<WavAudio> readWav(const std::filesystem::path& file, std::string& error);

}  // namespace vorela::bench
