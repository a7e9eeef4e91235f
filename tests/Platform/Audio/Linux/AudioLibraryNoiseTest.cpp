#include <alsa/asoundlib.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Platform/Audio/Linux/AudioLibraryNoise.h"
#include "Support/RecordingLogSink.h"

namespace vorela {
namespace {

// Every start printed PortAudio's and ALSA's probe failures on the terminal ("Expression
// 'ret' failed in 'src/hostapi/alsa/pa_linux_alsa.c'"); they are the log's, at debug
// level, while anything else written meanwhile still reaches stderr.
TEST(AudioLibraryNoiseTest, LibraryLinesGoToTheDebugLogAndOthersStayOnStderr) {
    const auto sink = std::make_shared<testing::RecordingLogSink>();
    const auto previous = Log::setSink(sink);
    const auto file =
        std::filesystem::temp_directory_path() / ("vorela-stderr-" + std::to_string(getpid()));
    std::fflush(stderr);
    const int realStderr = dup(STDERR_FILENO);
    const int captured = open(file.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
    ASSERT_GE(captured, 0);
    dup2(captured, STDERR_FILENO);
    {
        const AudioLibraryNoise noise;
        std::fprintf(stderr,
                     "Expression 'ret' failed in 'src/hostapi/alsa/pa_linux_alsa.c', line: 1736\n");
        std::fprintf(stderr, "una línea nuestra\n");
        const char raw[] =
            "ALSA lib pcm.c:2666:(snd_pcm_open_noupdate) Unknown PCM cards.pcm.rear\n";
        ASSERT_GT(write(STDERR_FILENO, raw, sizeof raw - 1), 0);
    }
    std::fprintf(stderr, "después\n");
    std::fflush(stderr);
    dup2(realStderr, STDERR_FILENO);
    close(realStderr);
    close(captured);
    Log::setSink(previous);

    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    std::filesystem::remove(file);
    EXPECT_EQ(text.str(), "una línea nuestra\ndespués\n");
    const auto records = sink->records();
    ASSERT_EQ(records.size(), 2u);
    for (const auto& record : records) {
        EXPECT_EQ(record.level, LogLevel::debug);
        EXPECT_EQ(record.category, "audio");
    }
    EXPECT_EQ(records[0].message,
              "Expression 'ret' failed in 'src/hostapi/alsa/pa_linux_alsa.c', line: 1736");
    EXPECT_TRUE(records[1].message.starts_with("ALSA lib pcm.c"));
}

TEST(AudioLibraryNoiseTest, AlsasOwnMessagesReachTheDebugLog) {
    const auto sink = std::make_shared<testing::RecordingLogSink>();
    const auto previous = Log::setSink(sink);
    AudioLibraryNoise::routeLibraryHandlers();
    snd_pcm_t* pcm = nullptr;
    EXPECT_LT(snd_pcm_open(&pcm, "vorela_no_such_device", SND_PCM_STREAM_CAPTURE, 0), 0);
    Log::setSink(previous);
    const auto messages = sink->messages("audio");
    ASSERT_FALSE(messages.empty());
    EXPECT_TRUE(messages.front().starts_with("ALSA lib ")) << messages.front();
    EXPECT_EQ(sink->records().front().level, LogLevel::debug);
}

}  // namespace
}  // namespace vorela
