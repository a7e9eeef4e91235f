#include "Platform/Speech/Linux/DecoderProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>

extern char** environ;

namespace vorela {

DecoderProcess::DecoderProcess(const std::filesystem::path& program, MessageHandler onMessage,
                               std::function<void()> onExit, double stallSeconds)
    : stallSeconds_(stallSeconds) {
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    const std::string path = program.string();
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (failed != 0) {
        close(fds[0]);
        return;
    }
    pid_ = pid;
    socket_ = fds[0];
    reader_ =
        std::thread([fd = socket_, onMessage = std::move(onMessage), onExit = std::move(onExit)] {
            while (const auto message = decoder::readMessage(fd)) onMessage(*message);
            if (onExit) onExit();
        });
}

DecoderProcess::~DecoderProcess() {
    if (socket_ >= 0) shutdown(socket_, SHUT_RDWR);
    if (reader_.joinable()) reader_.join();
    if (socket_ >= 0) close(socket_);
    if (pid_ <= 0) return;
    // The child exits when its input ends; give it a moment before forcing it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (waitpid(pid_, nullptr, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            break;
        }
        usleep(5000);
    }
}

std::optional<std::uint64_t> DecoderProcess::peakMemoryKB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::strtoull(line.c_str() + 6, nullptr, 10);
    }
    return std::nullopt;  // gone, or a zombie without memory
}

bool DecoderProcess::send(const decoder::Message& message) {
    if (socket_ < 0 || isHung_) return false;
    const std::string bytes = decoder::wireBytes(message);
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    const auto stall = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(stallSeconds_));
    auto deadline = std::chrono::steady_clock::now() + stall;
    while (left > 0) {
        const ssize_t sent = ::send(socket_, data, left, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            data += sent;
            left -= static_cast<std::size_t>(sent);
            deadline = std::chrono::steady_clock::now() + stall;
            continue;
        }
        if (sent < 0 && errno == EINTR) continue;
        if (sent == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) return false;
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{socket_, POLLOUT, 0};
        if (wait.count() > 0 && poll(&ready, 1, static_cast<int>(wait.count()) + 1) != 0) continue;
        if (std::chrono::steady_clock::now() < deadline) continue;
        // Killed, its end of the socket closes: the reader sees the exit as any other.
        isHung_ = true;
        kill(pid_, SIGKILL);
        return false;
    }
    return true;
}

}  // namespace vorela
