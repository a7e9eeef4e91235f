#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "Platform/Speech/Linux/DecoderProcess.h"
#include "Platform/Speech/Linux/ScriptedProgram.h"

namespace vorela {
namespace {

using testing::ScriptedProgram;

// A decoder stuck inside the library reads nothing more: the worker's blocking send
// waited on a full socket for good, and the analyser's destructor with it.
TEST(DecoderProcessTest, ASendToAHungDecoderGivesUpAndEndsIt) {
    ScriptedProgram hung("exec sleep 600");
    std::atomic<bool> exited = false;
    DecoderProcess process(
        hung.path(), [](const decoder::Message&) {}, [&] { exited = true; }, 0.3);
    ASSERT_TRUE(process.isRunning());
    const std::vector<std::int16_t> second(16000);
    const auto began = std::chrono::steady_clock::now();
    bool sent = true;
    for (int i = 0; i < 600 && sent; ++i)  // ten minutes of audio, far more than the socket holds
        sent = process.send(decoder::encodeAudio(second.data(), second.size()));
    const auto waited = std::chrono::steady_clock::now() - began;
    EXPECT_FALSE(sent);
    EXPECT_LT(waited, std::chrono::seconds(5));
    EXPECT_FALSE(process.send(decoder::encodeSignal(decoder::MessageType::finalize)));
    for (int i = 0; i < 500 && !exited; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(exited);  // killed: the analyser restarts it as any decoder that died
}

TEST(DecoderProcessTest, ASlowButReadingDecoderIsNotTakenForHung) {
    // Reads a block, then rests: slower than the sender, never stalled for long.
    ScriptedProgram slow("while dd bs=65536 count=1 of=/dev/null 2>/dev/null; do sleep 0.05; done");
    DecoderProcess process(
        slow.path(), [](const decoder::Message&) {}, [] {}, 1.0);
    const std::vector<std::int16_t> second(16000);
    for (int i = 0; i < 16; ++i)
        ASSERT_TRUE(process.send(decoder::encodeAudio(second.data(), second.size()))) << i;
}

TEST(DecoderProcessTest, AProgramThatCannotStartIsNotRunning) {
    DecoderProcess process(
        "/nonexistent/vorela-decoder", [](const decoder::Message&) {}, [] {});
    EXPECT_FALSE(process.isRunning());
    EXPECT_FALSE(process.send(decoder::encodeSignal(decoder::MessageType::finalize)));
}

}  // namespace
}  // namespace vorela
