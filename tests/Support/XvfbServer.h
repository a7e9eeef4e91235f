#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

extern char** environ;

namespace vorela::testing {

inline bool isOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= dirs.size();) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        if (::access((dirs.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// Runs a program to completion and returns its exit status.
inline int run(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (auto& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// What a shell command writes to its standard output.
inline std::string commandOutput(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (fgets(buffer, sizeof buffer, pipe)) text += buffer;
        pclose(pipe);
    }
    return text;
}

// An Xvfb of our own. -displayfd makes the server pick a free display and write its
// number once it accepts connections, so nothing has to poll for the socket. -noreset
// keeps the lock state when the last client goes.
class XvfbServer {
public:
    // screen is WIDTHxHEIGHTxDEPTH.
    static std::unique_ptr<XvfbServer> start(const std::string& screen = "640x480x24") {
        int fds[2];
        if (pipe(fds) != 0) return nullptr;
        fcntl(fds[0], F_SETFD, FD_CLOEXEC);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        std::vector<std::string> args{"Xvfb",     "-displayfd", std::to_string(fds[1]),
                                      "-noreset", "-nolisten",  "tcp",
                                      "-screen",  "0",          screen};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        auto server = std::unique_ptr<XvfbServer>(new XvfbServer());
        const int spawned =
            posix_spawnp(&server->pid_, "Xvfb", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        std::string number;
        char c = 0;
        while (spawned == 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (spawned != 0 || number.empty()) return nullptr;
        server->display_ = ":" + number;
        return server;
    }
    ~XvfbServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    XvfbServer(XvfbServer&&) = delete;
    XvfbServer& operator=(XvfbServer&&) = delete;

    const std::string& display() const { return display_; }

private:
    XvfbServer() = default;
    pid_t pid_ = 0;
    std::string display_;
};

}  // namespace vorela::testing
