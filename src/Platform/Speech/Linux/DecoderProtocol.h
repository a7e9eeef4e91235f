#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorela::decoder {

// Everything the application and its decoder process say to each other, written and read
// here only. On the socket: a type byte, a 32-bit little-endian length, then the payload.

// The audio the decoder takes: mono signed 16-bit samples at this rate.
constexpr double kSampleRate = 16000;
// The decoder's frames per second, the unit of its word times.
constexpr double kFrameRate = 100;

inline double secondsOfSamples(std::uint64_t samples) { return samples / kSampleRate; }
inline double secondsOfFrames(long frames) { return frames / kFrameRate; }

enum class MessageType : char {
    load = 'L',        // to the decoder: a LoadRequest
    audio = 'A',       // to the decoder: samples
    finalize = 'F',    // to the decoder: end the utterance now; answered by `finalized`
    abort = 'X',       // to the decoder: abort the process (tests of containment)
    ready = 'R',       // from the decoder: the model is loaded
    error = 'E',       // from the decoder: why the model could not be loaded
    progress = 'P',    // from the decoder: a Progress
    hypothesis = 'H',  // from the decoder: a Hypothesis
    finalized = 'D',   // from the decoder: every message before the finalize is handled
};

struct Message {
    MessageType type = MessageType::ready;
    std::string payload;

    bool operator==(const Message&) const = default;
};

// The acoustic model folder, the script's dictionary and ARPA model, and extra decoder
// options separated by spaces. A load on the same folder and options keeps the decoder
// and swaps only the script's model.
struct LoadRequest {
    std::string modelFolder;
    std::string dictionary;
    std::string arpa;
    std::string options;

    bool operator==(const LoadRequest&) const = default;
};

// Samples consumed since the decoder started, and the seconds it spent on the last block.
struct Progress {
    std::uint64_t samples = 0;
    double busySeconds = 0;

    bool operator==(const Progress&) const = default;
};

// The decoder's current guess of the utterance, or its final words once it closed.
struct Hypothesis {
    struct Word {
        std::string text;     // no whitespace
        double startSeconds;  // since the decoder started, to a frame

        bool operator==(const Word&) const = default;
    };
    bool isFinal = false;
    std::vector<Word> words;

    bool operator==(const Hypothesis&) const = default;
};

Message encode(const LoadRequest& request);
Message encode(const Progress& progress);
Message encode(const Hypothesis& hypothesis);
Message encodeAudio(const std::int16_t* samples, std::size_t count);
Message encodeError(const std::string& reason);
Message encodeSignal(MessageType type);  // a message without payload

// Nothing when the message is of another type or malformed.
std::optional<LoadRequest> decodeLoad(const Message& message);
std::optional<Progress> decodeProgress(const Message& message);
std::optional<Hypothesis> decodeHypothesis(const Message& message);
std::optional<std::vector<std::int16_t>> decodeAudio(const Message& message);

// The message as it goes on the socket.
std::string wireBytes(const Message& message);
// Blocking; false once the peer is gone. Safe against SIGPIPE.
bool writeMessage(int fd, const Message& message);
// Nothing at the end of the stream or on a malformed header.
std::optional<Message> readMessage(int fd);

}  // namespace vorela::decoder
