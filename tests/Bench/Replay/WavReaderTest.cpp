#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "Replay/WavReader.h"

namespace vorela::bench {
namespace {

void put16(std::string& out, std::uint16_t v) {
    out += char(v & 0xFF);
    out += char(v >> 8);
}
void put32(std::string& out, std::uint32_t v) {
    put16(out, std::uint16_t(v & 0xFFFF));
    put16(out, std::uint16_t(v >> 16));
}

// A WAVE file with `data` as its data chunk; `declared` overrides the chunk's size.
std::string wave(std::uint16_t format, std::uint16_t channels, std::uint16_t bits,
                 const std::string& data, std::optional<std::uint32_t> declared = {}) {
    std::string out = "RIFF";
    put32(out, 0);  // readers ignore it
    out += "WAVEfmt ";
    put32(out, 16);
    put16(out, format);
    put16(out, channels);
    put32(out, 8000);
    put32(out, 8000u * channels * bits / 8);
    put16(out, std::uint16_t(channels * bits / 8));
    put16(out, bits);
    out += "LIST";  // a chunk the reader must step over
    put32(out, 3);
    out += "abc";
    out += '\0';  // odd chunks are padded
    out += "data";
    put32(out, declared.value_or(static_cast<std::uint32_t>(data.size())));
    return out + data;
}

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out += char(v);
    return out;
}

class WavReaderTest : public ::testing::Test {
protected:
    std::filesystem::path write(const std::string& contents) {
        std::ofstream(path_, std::ios::binary) << contents;
        return path_;
    }
    void TearDown() override { std::filesystem::remove(path_); }

    std::filesystem::path path_ = std::filesystem::temp_directory_path() /
                                  ("vorela-wav-" + std::to_string(::getpid()) + ".wav");
};

TEST_F(WavReaderTest, DecodesEverySampleFormatBlockByBlock) {
    float f = -0.25f;
    std::string floatBytes(reinterpret_cast<const char*>(&f), 4);
    struct Case {
        const char* name;
        std::string file;
        std::uint32_t channels;
        std::vector<std::vector<float>> expected;  // per channel
    } cases[] = {
        {"8-bit unsigned", wave(1, 1, 8, bytes({128, 255, 0})), 1, {{0, 127 / 128.0f, -1}}},
        {"16-bit",
         wave(1, 1, 16, bytes({0x00, 0x40, 0x00, 0x80, 0xFF, 0x7F})),
         1,
         {{0.5f, -1, 32767 / 32768.0f}}},
        {"24-bit, sign from the top byte",
         wave(1, 1, 24, bytes({0, 0, 0xC0, 0, 0, 0x20})),
         1,
         {{-0.5f, 0.25f}}},
        {"32-bit float", wave(3, 1, 32, floatBytes + floatBytes), 1, {{-0.25f, -0.25f}}},
        {"stereo 16-bit split into planes",
         wave(1, 2, 16, bytes({0x00, 0x40, 0x00, 0xC0, 0x00, 0x20, 0x00, 0xE0})),
         2,
         {{0.5f, 0.25f}, {-0.5f, -0.25f}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        auto reader = WavReader::open(write(c.file), error);
        ASSERT_TRUE(reader) << error;
        EXPECT_EQ(reader->format().channelCount, c.channels);
        EXPECT_EQ(reader->format().sampleRate, 8000);
        EXPECT_EQ(reader->frames(), c.expected[0].size());
        std::vector<std::vector<float>> got(c.channels);
        while (const auto block = reader->next(2)) {  // blocks smaller than the file
            EXPECT_LE(block->frameLength(), 2u);
            for (std::uint32_t ch = 0; ch < c.channels; ++ch)
                got[ch].insert(got[ch].end(), block->channelData(ch),
                               block->channelData(ch) + block->frameLength());
        }
        EXPECT_EQ(got, c.expected);
    }
}

TEST_F(WavReaderTest, TheFilesEndBoundsTheData) {
    struct Case {
        const char* name;
        std::optional<std::uint32_t> declared;
        std::string data;
        std::uint64_t frames;
    } cases[] = {
        {"size left unknown by a streaming writer", 0, bytes({1, 0, 2, 0, 3, 0}), 3},
        {"size past the end (a cut file)", 1000000, bytes({1, 0, 2, 0}), 2},
        {"all ones", 0xFFFFFFFF, bytes({1, 0, 2, 0, 3}), 2},  // a half frame is not a frame
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        auto reader = WavReader::open(write(wave(1, 1, 16, c.data, c.declared)), error);
        ASSERT_TRUE(reader) << error;
        EXPECT_EQ(reader->frames(), c.frames);
        std::uint64_t read = 0;
        while (const auto block = reader->next(1024)) read += block->frameLength();
        EXPECT_EQ(read, c.frames);
    }
}

TEST_F(WavReaderTest, RefusesWhatIsNotPlayableAudio) {
    struct Case {
        const char* name;
        std::string file;
        const char* error;
    } cases[] = {
        {"not RIFF", "hello, this is text", "not a RIFF WAVE file"},
        {"empty", "", "not a RIFF WAVE file"},
        {"compressed (A-law)", wave(6, 1, 8, "abc"), "unsupported sample format"},
        {"64-bit float", wave(3, 1, 64, "abcdefgh"), "unsupported sample format"},
        {"no data chunk", wave(1, 1, 16, "").substr(0, 44), "no audio data"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_FALSE(WavReader::open(write(c.file), error));
        EXPECT_EQ(error, c.error);
    }
    std::string error;
    EXPECT_FALSE(WavReader::open(path_.string() + ".missing", error));
    EXPECT_EQ(error, "cannot open the file");
}

}  // namespace
}  // namespace vorela::bench
