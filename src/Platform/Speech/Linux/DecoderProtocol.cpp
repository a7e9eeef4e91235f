#include "Platform/Speech/Linux/DecoderProtocol.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>

#include "Platform/Foundation/Format.h"

namespace vorela::decoder {

namespace {

// A message larger than this is a broken stream: an ARPA model of a long script is a few
// megabytes.
constexpr std::uint32_t kMaxPayloadBytes = 256u << 20;
constexpr std::size_t kHeaderBytes = 5;

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

template <class Number>
bool parse(std::string_view text, Number& value) {
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && at == end;
}

// The text up to `separator` from `at`, which moves past it; nothing when it is missing.
std::optional<std::string_view> field(std::string_view text, std::size_t& at, char separator) {
    const std::size_t end = text.find(separator, at);
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view piece = text.substr(at, end - at);
    at = end + 1;
    return piece;
}

}  // namespace

Message encode(const LoadRequest& request) {
    std::string payload = request.modelFolder;
    for (const std::string* part : {&request.dictionary, &request.arpa, &request.options}) {
        payload += '\0';
        payload += *part;
    }
    return {MessageType::load, std::move(payload)};
}

Message encode(const Progress& progress) {
    return {MessageType::progress,
            format("%llu %.6f", static_cast<unsigned long long>(progress.samples),
                   progress.busySeconds)};
}

Message encode(const Hypothesis& hypothesis) {
    std::string payload = hypothesis.isFinal ? "1\n" : "0\n";
    for (const auto& word : hypothesis.words) {
        payload += word.text;
        payload += format(" %.2f\n", word.startSeconds);
    }
    return {MessageType::hypothesis, std::move(payload)};
}

Message encodeAudio(const std::int16_t* samples, std::size_t count) {
    return {MessageType::audio,
            std::string(reinterpret_cast<const char*>(samples), count * sizeof(std::int16_t))};
}

Message encodeError(const std::string& reason) { return {MessageType::error, reason}; }

Message encodeSignal(MessageType type) { return {type, {}}; }

std::optional<LoadRequest> decodeLoad(const Message& message) {
    if (message.type != MessageType::load) return std::nullopt;
    const std::string_view text = message.payload;
    std::size_t at = 0;
    const auto folder = field(text, at, '\0');
    const auto dictionary = folder ? field(text, at, '\0') : std::nullopt;
    const auto arpa = dictionary ? field(text, at, '\0') : std::nullopt;
    if (!arpa) return std::nullopt;
    const std::string_view options = text.substr(at);
    if (options.find('\0') != std::string_view::npos) return std::nullopt;
    return LoadRequest{std::string(*folder), std::string(*dictionary), std::string(*arpa),
                       std::string(options)};
}

std::optional<Progress> decodeProgress(const Message& message) {
    if (message.type != MessageType::progress) return std::nullopt;
    const std::string_view text = message.payload;
    const std::size_t space = text.find(' ');
    Progress progress;
    if (space == std::string_view::npos || !parse(text.substr(0, space), progress.samples) ||
        !parse(text.substr(space + 1), progress.busySeconds) ||
        !std::isfinite(progress.busySeconds))
        return std::nullopt;
    return progress;
}

std::optional<Hypothesis> decodeHypothesis(const Message& message) {
    if (message.type != MessageType::hypothesis) return std::nullopt;
    const std::string_view text = message.payload;
    std::size_t at = 0;
    const auto flag = field(text, at, '\n');
    if (!flag || (*flag != "0" && *flag != "1")) return std::nullopt;
    Hypothesis hypothesis;
    hypothesis.isFinal = *flag == "1";
    while (at < text.size()) {
        const auto line = field(text, at, '\n');
        if (!line) return std::nullopt;
        const std::size_t space = line->find(' ');
        Hypothesis::Word word{std::string(line->substr(0, space)), 0};
        if (space == 0 || space == std::string_view::npos ||
            !parse(line->substr(space + 1), word.startSeconds))
            return std::nullopt;
        hypothesis.words.push_back(std::move(word));
    }
    return hypothesis;
}

std::optional<std::vector<std::int16_t>> decodeAudio(const Message& message) {
    if (message.type != MessageType::audio || message.payload.size() % sizeof(std::int16_t) != 0)
        return std::nullopt;
    std::vector<std::int16_t> samples(message.payload.size() / sizeof(std::int16_t));
    std::memcpy(samples.data(), message.payload.data(), message.payload.size());
    return samples;
}

std::string wireBytes(const Message& message) {
    const auto size = static_cast<std::uint32_t>(message.payload.size());
    std::string bytes(kHeaderBytes, '\0');
    bytes[0] = static_cast<char>(message.type);
    for (int i = 0; i < 4; ++i) bytes[1 + i] = static_cast<char>((size >> (8 * i)) & 0xff);
    return bytes + message.payload;
}

bool writeMessage(int fd, const Message& message) {
    const std::string bytes = wireBytes(message);
    const char* data = bytes.data();
    std::size_t size = bytes.size();
    while (size > 0) {
        const ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

std::optional<Message> readMessage(int fd) {
    unsigned char header[kHeaderBytes];
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
