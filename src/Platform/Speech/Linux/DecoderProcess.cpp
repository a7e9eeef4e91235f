#include "Platform/Speech/Linux/DecoderProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>

extern char** environ;

namespace vorela {

DecoderProcess::DecoderProcess(const std::filesystem::path& program, MessageHandler onMessage,
                               std::function<void()> onExit) {
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

bool DecoderProcess::send(decoder::MessageType type, const std::string& payload) {
    return socket_ >= 0 && decoder::writeMessage(socket_, type, payload);
}

bool DecoderProcess::send(decoder::MessageType type, const void* data, std::size_t size) {
    return socket_ >= 0 && decoder::writeMessage(socket_, type, data, size);
}

}  // namespace vorela
