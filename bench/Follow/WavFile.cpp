#include "WavFile.h"

#include <fstream>
#include <string>

namespace vorela::follow {

namespace {
// RIFF fields are little-endian whatever the host.
void put(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}
}  // namespace

bool WavFile::write(const std::filesystem::path& path, const std::vector<std::int16_t>& samples,
                    int sampleRate) {
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::string bytes = "RIFF";
    put(bytes, 36 + dataBytes, 4);
    bytes += "WAVEfmt ";
    put(bytes, 16, 4);  // PCM format chunk size
    put(bytes, 1, 2);   // PCM
    put(bytes, 1, 2);   // mono
    put(bytes, static_cast<std::uint32_t>(sampleRate), 4);
    put(bytes, static_cast<std::uint32_t>(sampleRate) * 2, 4);  // bytes per second
    put(bytes, 2, 2);                                           // bytes per frame
    put(bytes, 16, 2);                                          // bits per sample
    bytes += "data";
    put(bytes, dataBytes, 4);
    bytes.reserve(bytes.size() + dataBytes);
    for (std::int16_t s : samples) put(bytes, static_cast<std::uint16_t>(s), 2);

    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file.flush());
}

}  // namespace vorela::follow
