#include "Replay/WavReader.h"

#include <algorithm>
#include <cstring>

namespace vorela::bench {

namespace {

std::uint32_t le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}
std::uint16_t le16(const unsigned char* p) { return std::uint16_t(p[0] | (p[1] << 8)); }

bool readExactly(std::ifstream& in, unsigned char* into, std::size_t size) {
    in.read(reinterpret_cast<char*>(into), static_cast<std::streamsize>(size));
    return static_cast<std::size_t>(in.gcount()) == size;
}

}  // namespace

std::optional<WavReader> WavReader::open(const std::filesystem::path& file, std::string& error) {
    WavReader reader;
    reader.in_.open(file, std::ios::binary);
    if (!reader.in_) {
        error = "cannot open the file";
        return std::nullopt;
    }
    std::error_code sizeError;
    const std::uint64_t fileSize = std::filesystem::file_size(file, sizeError);
    unsigned char riff[12];
    if (sizeError || !readExactly(reader.in_, riff, sizeof riff) ||
        std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) {
        error = "not a RIFF WAVE file";
        return std::nullopt;
    }
    std::uint16_t format = 0, channels = 0, bits = 0;
    std::uint32_t rate = 0;
    std::uint64_t at = sizeof riff;
    unsigned char header[8];
    while (readExactly(reader.in_, header, sizeof header)) {
        const std::uint32_t size = le32(header + 4);
        const std::uint64_t body = at + sizeof header;
        if (std::memcmp(header, "data", 4) == 0) {
            const std::size_t width = bits / 8;
            if (channels == 0 || rate == 0 || width == 0 ||
                !((format == 1 && width <= 4) || (format == 3 && width == 4))) {
                error = "unsupported sample format";
                return std::nullopt;
            }
            // Writers that stream often leave the size unknown (0 or all ones): the file's
            // end bounds the data either way.
            const std::uint64_t available = fileSize > body ? fileSize - body : 0;
            const std::uint64_t bytes =
                size == 0 ? available : std::min<std::uint64_t>(size, available);
            reader.format_ = {double(rate), channels};
            reader.encoding_ = format == 3  ? Encoding::floatingPoint
                               : width == 1 ? Encoding::unsignedInt
                                            : Encoding::signedInt;
            reader.sampleBytes_ = width;
            reader.frames_ = bytes / (width * channels);
            return reader;
        }
        if (std::memcmp(header, "fmt ", 4) == 0 && size >= 16 && size <= 1024) {
            std::vector<unsigned char> fmt(size);
            if (!readExactly(reader.in_, fmt.data(), size)) break;
            format = le16(&fmt[0]);
            channels = le16(&fmt[2]);
            rate = le32(&fmt[4]);
            bits = le16(&fmt[14]);
            if (format == 0xFFFE && size >= 26) format = le16(&fmt[24]);  // extensible
            if (size & 1) reader.in_.seekg(1, std::ios::cur);
        } else {
            reader.in_.seekg(static_cast<std::streamoff>(size + (size & 1)), std::ios::cur);
        }
        at = body + size + (size & 1);
        if (!reader.in_ || at > fileSize) break;
    }
    error = "no audio data";
    return std::nullopt;
}

float WavReader::sample(const unsigned char* s) const {
    switch (encoding_) {
        case Encoding::floatingPoint: {
            const std::uint32_t raw = le32(s);
            float v = 0;
            std::memcpy(&v, &raw, 4);
            return v;
        }
        case Encoding::unsignedInt:
            return (s[0] - 128) / 128.0f;
        case Encoding::signedInt: {
            std::uint32_t raw = 0;
            for (std::size_t b = 0; b < sampleBytes_; ++b) raw |= std::uint32_t(s[b]) << (8 * b);
            raw <<= 8 * (4 - sampleBytes_);  // sign from the top byte
            return static_cast<std::int32_t>(raw) / 2147483648.0f;
        }
    }
    return 0;
}

std::shared_ptr<AudioBuffer> WavReader::next(std::uint32_t maxFrames) {
    const std::uint64_t left = frames_ - framesRead_;
    const auto wanted = static_cast<std::uint32_t>(std::min<std::uint64_t>(maxFrames, left));
    if (wanted == 0) return nullptr;
    const std::size_t frameBytes = sampleBytes_ * format_.channelCount;
    block_.resize(wanted * frameBytes);
    in_.read(reinterpret_cast<char*>(block_.data()), static_cast<std::streamsize>(block_.size()));
    const auto got =
        static_cast<std::uint32_t>(static_cast<std::size_t>(in_.gcount()) / frameBytes);
    if (got == 0) {
        frames_ = framesRead_;  // the file ended early
        return nullptr;
    }
    framesRead_ += got;
    auto buffer = AudioBuffer::make(format_, got);
    for (std::uint32_t c = 0; c < format_.channelCount; ++c) {
        float* plane = buffer->mutableChannelData(c);
        const unsigned char* s = block_.data() + c * sampleBytes_;
        for (std::uint32_t i = 0; i < got; ++i, s += frameBytes) plane[i] = sample(s);
    }
    return buffer;
}

}  // namespace vorela::bench
