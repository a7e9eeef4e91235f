#include "Support/PulseServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

extern char** environ;

namespace vorela::testing {

namespace fs = std::filesystem;

int runProgram(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv) {
    std::vector<std::string> envStrings(extraEnv);
    for (char** e = environ; *e; ++e) envStrings.emplace_back(*e);
    std::vector<char*> args, env;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const auto& e : envStrings) env.push_back(const_cast<char*>(e.c_str()));
    env.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool PulseServer::start() {
    if (pid_ > 0) return true;
    if (dir_.empty()) {
        char pattern[] = "/tmp/vorela-pulse-XXXXXX";
        if (!mkdtemp(pattern)) return false;
        dir_ = pattern;
        chmod(dir_.c_str(), 0700);
    }
    std::ofstream(dir_ / "vmic.pa")
        << "load-module module-native-protocol-unix auth-anonymous=1 socket="
        << (dir_ / "native").string() << "\n"
        << "load-module module-null-sink sink_name=vspk rate=16000 channels=1\n"
        << "load-module module-remap-source source_name=vmic_mon master=vspk.monitor\n"
        << "set-default-sink vspk\nset-default-source vmic_mon\n";
    // Daemonising returns only once the server is ready, so no waiting is needed.
    const int rc =
        runProgram({"pulseaudio", "-n", "-F", (dir_ / "vmic.pa").string(), "--daemonize=yes",
                    "--exit-idle-time=-1", "--disallow-exit", "--use-pid-file=yes",
                    "--log-target=file:" + (dir_ / "pulse.log").string()},
                   env());
    std::ifstream pidFile(dir_ / "pulse" / "pid");
    pidFile >> pid_;
    return rc == 0 && pid_ > 0;
}

PulseServer::~PulseServer() {
    stop();
    std::error_code ignored;
    if (!dir_.empty()) fs::remove_all(dir_, ignored);
}

// Waits for the server to be gone, so it cannot write into the folder while the folder
// is removed.
void PulseServer::stop() {
    if (pid_ <= 0) return;
    const int exited = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
    kill(pid_, SIGKILL);
    if (exited >= 0) {
        pollfd wait{exited, POLLIN, 0};
        poll(&wait, 1, 5000);
        close(exited);
    }
    // The killed server may linger as a zombie nobody reaps, and its pid file would then
    // make a restarted server believe it still runs.
    std::error_code ignored;
    fs::remove(dir_ / "pulse" / "pid", ignored);
    pid_ = 0;
}

std::vector<std::string> PulseServer::env() const {
    return {"XDG_RUNTIME_DIR=" + dir_.string(), "HOME=" + dir_.string(),
            "PULSE_SERVER=" + server()};
}

}  // namespace vorela::testing
