#include "Platform/Speech/Linux/DecoderProtocol.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace vorela::decoder {

namespace {

// A message larger than this is a broken stream: an ARPA model of a long script is a few
// megabytes.
constexpr std::uint32_t kMaxPayloadBytes = 256u << 20;

bool sendAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

bool readAll(int fd, char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t got = ::read(fd, data, size);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        data += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace

bool writeMessage(int fd, MessageType type, const void* data, std::size_t size) {
    char header[5] = {static_cast<char>(type), static_cast<char>(size & 0xff),
                      static_cast<char>((size >> 8) & 0xff), static_cast<char>((size >> 16) & 0xff),
                      static_cast<char>((size >> 24) & 0xff)};
    return sendAll(fd, header, sizeof header) && sendAll(fd, static_cast<const char*>(data), size);
}

bool writeMessage(int fd, MessageType type, const std::string& payload) {
    return writeMessage(fd, type, payload.data(), payload.size());
}

std::optional<Message> readMessage(int fd) {
    unsigned char header[5];
    if (!readAll(fd, reinterpret_cast<char*>(header), sizeof header)) return std::nullopt;
    const std::uint32_t size =
        header[1] | (header[2] << 8) | (header[3] << 16) | (std::uint32_t(header[4]) << 24);
    if (size > kMaxPayloadBytes) return std::nullopt;
    Message message;
    message.type = static_cast<MessageType>(header[0]);
    message.payload.resize(size);
    if (!readAll(fd, message.payload.data(), size)) return std::nullopt;
    return message;
}

}  // namespace vorela::decoder
