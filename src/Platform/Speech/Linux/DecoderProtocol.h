#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vorela::decoder {

// Messages between the application and its decoder process over one stream socket:
// a type byte, a 32-bit little-endian length, then the payload.
enum class MessageType : char {
    load = 'L',        // to the decoder: model folder, dictionary, ARPA model, extra options,
                       // separated by NUL bytes
    audio = 'A',       // to the decoder: 16 kHz mono signed 16-bit samples
    finalize = 'F',    // to the decoder: end the utterance now
    abort = 'X',       // to the decoder: abort the process (tests of containment)
    ready = 'R',       // from the decoder: the model is loaded
    error = 'E',       // from the decoder: why the model could not be loaded
    progress = 'P',    // from the decoder: samples consumed so far, and seconds spent on the last
                       // block ("<samples> <seconds>")
    hypothesis = 'H',  // from the decoder: "<final 0|1>\n" then "<word> <start seconds>\n" lines
};

struct Message {
    MessageType type = MessageType::ready;
    std::string payload;
};

// Blocking; false once the peer is gone. Safe against SIGPIPE.
bool writeMessage(int fd, MessageType type, const std::string& payload);
bool writeMessage(int fd, MessageType type, const void* data, std::size_t size);
// Nothing at the end of the stream or on a malformed message.
std::optional<Message> readMessage(int fd);

}  // namespace vorela::decoder
