#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace vorela::testing {

// Runs a program to its end with its output discarded; extraEnv entries ("NAME=value")
// are added to ours. The exit status, or -1 when it could not run or was killed.
int runProgram(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv = {});

// A PulseAudio server of our own in a private runtime folder: a silent null sink "vspk"
// whose monitor, remapped as "vmic_mon", is the default source, so capture is always
// clocked and silence is digital zero. Sound played into "vspk" is what a microphone
// on "vmic_mon" hears. Killed and its folder removed on destruction.
class PulseServer {
public:
    PulseServer() = default;
    ~PulseServer();
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;
    PulseServer(PulseServer&&) = delete;
    PulseServer& operator=(PulseServer&&) = delete;

    // False when no server could start here. After stop(), starts a new server on the
    // same socket, as a sound server restarted under its clients would be.
    bool start();
    // Kills the server and waits for it to be gone.
    void stop();
    // The environment a client (paplay, pactl) needs to reach this server.
    std::vector<std::string> env() const;
    std::string server() const { return "unix:" + (dir_ / "native").string(); }
    const std::filesystem::path& dir() const { return dir_; }

private:
    std::filesystem::path dir_;
    pid_t pid_ = 0;
};

}  // namespace vorela::testing
