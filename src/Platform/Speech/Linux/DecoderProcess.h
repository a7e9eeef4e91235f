#pragma once

#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "Platform/Speech/Linux/DecoderProtocol.h"

namespace vorela {

// One running vorela-decoder child, spoken to over a stream socket. Messages from it
// arrive on a reader thread of its own; when the child ends (an abort inside the library
// included), onExit runs once on that thread. Destroying the object closes the socket,
// and the child, told by the end of its input, exits; a child that lingers is killed.
class DecoderProcess {
public:
    using MessageHandler = std::function<void(const decoder::Message&)>;
    // A decoder that takes no byte for this long is hung: a model load of a long script
    // takes a few seconds, while the socket holds several seconds of audio.
    static constexpr double kStallSeconds = 10;

    // Nothing runs when the program cannot be started: isRunning() is then false.
    DecoderProcess(const std::filesystem::path& program, MessageHandler onMessage,
                   std::function<void()> onExit, double stallSeconds = kStallSeconds);
    ~DecoderProcess();
    DecoderProcess(const DecoderProcess&) = delete;
    DecoderProcess& operator=(const DecoderProcess&) = delete;
    DecoderProcess(DecoderProcess&&) = delete;
    DecoderProcess& operator=(DecoderProcess&&) = delete;

    bool isRunning() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    // The kernel's peak resident memory of a live process (VmHWM); nothing once it is gone.
    static std::optional<std::uint64_t> peakMemoryKB(pid_t pid);
    // False once the child is gone. A child that stops reading for the stall time is
    // killed as hung (onExit follows), so a send never blocks for longer. One thread only.
    bool send(const decoder::Message& message);

private:
    pid_t pid_ = -1;
    int socket_ = -1;
    double stallSeconds_;
    bool isHung_ = false;
    std::thread reader_;
};

}  // namespace vorela
