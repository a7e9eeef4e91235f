#include "Replay/WavReader.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace vorela::bench {

namespace {
std::uint32_t le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}
std::uint16_t le16(const unsigned char* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
}  // namespace

std::optional<WavAudio> readWav(const std::filesystem::path& file, std::string& error) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), {});
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        error = "not a RIFF WAVE file";
        return std::nullopt;
    }
    std::uint16_t format = 0, channels = 0, bits = 0;
    std::uint32_t rate = 0;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::uint32_t size = le32(&bytes[at + 4]);
        const std::size_t body = at + 8;
        if (body + size > bytes.size() && std::memcmp(&bytes[at], "data", 4) != 0) break;
        if (std::memcmp(&bytes[at], "fmt ", 4) == 0 && size >= 16) {
            format = le16(&bytes[body]);
            channels = le16(&bytes[body + 2]);
            rate = le32(&bytes[body + 4]);
            bits = le16(&bytes[body + 14]);
            if (format == 0xFFFE && size >= 26) format = le16(&bytes[body + 24]);  // extensible
        } else if (std::memcmp(&bytes[at], "data", 4) == 0) {
            const std::size_t end = std::min<std::size_t>(bytes.size(), body + size);
            const std::size_t width = bits / 8;
            if (channels == 0 || rate == 0 || width == 0 ||
                !((format == 1 && width <= 4) || (format == 3 && width == 4))) {
                error = "unsupported sample format";
                return std::nullopt;
            }
            WavAudio audio;
            audio.sampleRate = rate;
            audio.channels.resize(channels);
            for (std::size_t p = body; p + width * channels <= end; p += width * channels) {
                for (std::uint16_t c = 0; c < channels; ++c) {
                    const unsigned char* s = &bytes[p + c * width];
                    float v = 0;
                    if (format == 3) {
                        std::uint32_t raw = le32(s);
                        std::memcpy(&v, &raw, 4);
                    } else if (width == 1) {
                        v = (s[0] - 128) / 128.0f;
                    } else {
                        std::int32_t raw = 0;
                        for (std::size_t b = 0; b < width; ++b)
                            raw |= std::int32_t(s[b]) << (8 * b);
                        raw <<= 8 * (4 - width);  // sign from the top byte
                        v = raw / 2147483648.0f;
                    }
                    audio.channels[c].push_back(v);
                }
            }
            return audio;
        }
        at = body + size + (size & 1);
    }
    error = "no audio data";
    return std::nullopt;
}

}  // namespace vorela::bench
