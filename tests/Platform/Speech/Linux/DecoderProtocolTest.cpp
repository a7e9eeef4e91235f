#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <clocale>

#include "Platform/Speech/Linux/DecoderProtocol.h"

namespace vorela::decoder {
namespace {

// Both ends of one socket, as the application and its decoder hold them.
class DecoderProtocolTest : public ::testing::Test {
protected:
    DecoderProtocolTest() { socketpair(AF_UNIX, SOCK_STREAM, 0, fds_); }
    ~DecoderProtocolTest() override {
        close(fds_[0]);
        close(fds_[1]);
    }

    // What the other end reads of a message written on this one.
    std::optional<Message> overTheWire(const Message& message) {
        EXPECT_TRUE(writeMessage(fds_[0], message));
        return readMessage(fds_[1]);
    }

    int fds_[2] = {-1, -1};
};

TEST_F(DecoderProtocolTest, EveryMessageReadsBackAsItWasWritten) {
    const LoadRequest loads[] = {
        {"/usr/share/model", "hola HH OW L AA\n", "\\data\\\n", "-lw 10 -wip 3"},
        {"/models/es-ES", "", "", ""},
        {"", "a AA\nb B\n", "ngram", "-beam 1e-60"},
    };
    for (const auto& load : loads) {
        SCOPED_TRACE(load.modelFolder);
        EXPECT_EQ(decodeLoad(*overTheWire(encode(load))), load);
    }

    const Progress progresses[] = {{0, 0}, {16000, 0.0125}, {1ull << 40, 2.5}};
    for (const auto& progress : progresses) {
        SCOPED_TRACE(progress.samples);
        EXPECT_EQ(decodeProgress(*overTheWire(encode(progress))), progress);
    }

    const Hypothesis hypotheses[] = {
        {false, {}},
        {true, {}},
        {false, {{"the", 0}, {"wind", 0.37}}},
        {true, {{"niños", 12.5}, {"g_aa", 3601.99}}},
    };
    for (const auto& hypothesis : hypotheses) {
        SCOPED_TRACE(hypothesis.words.size());
        EXPECT_EQ(decodeHypothesis(*overTheWire(encode(hypothesis))), hypothesis);
    }

    const std::vector<std::int16_t> samples = {0, 1, -1, 32767, -32768};
    EXPECT_EQ(decodeAudio(*overTheWire(encodeAudio(samples.data(), samples.size()))), samples);
    EXPECT_EQ(overTheWire(encodeError("diccionario no válido")),
              (Message{MessageType::error, "diccionario no válido"}));
    EXPECT_EQ(overTheWire(encodeSignal(MessageType::finalized)),
              (Message{MessageType::finalized, ""}));
}

// The application runs under the desktop's locale, where a decimal comma would make the
// decoder's word times unreadable; the numbers on the wire are the C locale's.
TEST_F(DecoderProtocolTest, NumbersKeepTheirPointUnderACommaLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string restore = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "es_ES.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma here";
    const Hypothesis hypothesis{true, {{"rain", 1.25}}};
    const Message message = encode(hypothesis);
    std::setlocale(LC_NUMERIC, restore.c_str());
    EXPECT_EQ(message.payload, "1\nrain 1.25\n");
    EXPECT_EQ(decodeHypothesis(message), hypothesis);
}

TEST_F(DecoderProtocolTest, MalformedPayloadsAreRefused) {
    const struct {
        const char* name;
        Message message;
    } cases[] = {
        {"a load of three parts", {MessageType::load, std::string("a\0b\0c", 5)}},
        {"a load of five parts", {MessageType::load, std::string("a\0b\0c\0d\0e", 9)}},
        {"progress without time", {MessageType::progress, "160"}},
        {"progress in words", {MessageType::progress, "many 0.1"}},
        {"negative samples", {MessageType::progress, "-5 0.1"}},
        {"infinite time", {MessageType::progress, "5 inf"}},
        {"hypothesis without flag", {MessageType::hypothesis, "rain 1.00\n"}},
        {"hypothesis flag 2", {MessageType::hypothesis, "2\n"}},
        {"word without time", {MessageType::hypothesis, "1\nrain\n"}},
        {"time without word", {MessageType::hypothesis, "1\n 1.00\n"}},
        {"unended line", {MessageType::hypothesis, "0\nrain 1.00"}},
        {"half a sample", {MessageType::audio, std::string(3, '\0')}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(decodeLoad(c.message));
        EXPECT_FALSE(decodeProgress(c.message));
        EXPECT_FALSE(decodeHypothesis(c.message));
        EXPECT_FALSE(decodeAudio(c.message));
    }
    // Each decoder reads only its own type.
    EXPECT_FALSE(decodeProgress(encode(Hypothesis{true, {}})));
    EXPECT_FALSE(decodeHypothesis(encode(Progress{1, 0})));
}

TEST_F(DecoderProtocolTest, AnImpossibleLengthOrAClosedPeerEndsTheStream) {
    const char huge[] = {'A', '\xff', '\xff', '\xff', '\xff'};
    ASSERT_EQ(write(fds_[0], huge, sizeof huge), ssize_t(sizeof huge));
    EXPECT_FALSE(readMessage(fds_[1]));
    close(fds_[0]);
    fds_[0] = -1;
    EXPECT_FALSE(readMessage(fds_[1]));
    EXPECT_FALSE(writeMessage(fds_[1], encodeSignal(MessageType::ready)));  // no SIGPIPE
}

TEST(DecoderUnitsTest, SamplesAndFramesBecomeSeconds) {
    EXPECT_EQ(secondsOfSamples(16000), 1.0);
    EXPECT_EQ(secondsOfSamples(8000), 0.5);
    EXPECT_EQ(secondsOfFrames(250), 2.5);
}

}  // namespace
}  // namespace vorela::decoder
