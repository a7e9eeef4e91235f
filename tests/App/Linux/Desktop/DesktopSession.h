#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QRect>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Support/XvfbServer.h"

namespace vorela::testing {

// Starts a program in the background with standard output and error into `logFile`.
pid_t spawnLogged(const std::vector<std::string>& arguments, const std::string& logFile);
// Waits for a child to end within `seconds`; its exit status, or nothing when it did not.
std::optional<int> waitForExit(pid_t pid, double seconds);

// One X desktop for the whole test program: Xvfb, openbox without key bindings (so the
// application's Alt shortcuts are not taken by the window manager), a trayer tray at the
// top right, and a Qt application of the test's own on it for screenshots.
class Desktop {
public:
    static Desktop& shared();
    bool isReady() const { return app_ != nullptr; }

    // The whole screen, also saved as artifacts/<name>.png.
    QImage screenshot(const std::string& name) const;
    // Visible windows of the program "vorela" with their frames on the screen.
    std::vector<std::pair<std::string, QRect>> programWindows() const;
    // The program's visible window of an EWMH type ("NORMAL", "UTILITY" for the panel),
    // titled exactly `title` unless that is empty. The tray icon never counts.
    std::optional<QRect> windowOfType(const std::string& type, const std::string& title = {}) const;
    // The keys openbox binds (to its window menu), in its own form ("A-space", as stock
    // desktops hold it); none at first.
    void setWindowManagerKeys(const std::vector<std::string>& keys) const;

private:
    Desktop();
    ~Desktop();

    std::filesystem::path folder_;
    std::unique_ptr<XvfbServer> server_;
    std::vector<pid_t> helpers_;
    std::unique_ptr<QGuiApplication> app_;
};

// The real program under a home folder of its own, on the shared desktop.
class VorelaProcess {
public:
    // `preferences` are <key>…</key><value/> pairs of the standard suite's plist; the
    // runtime folder ($XDG_RUNTIME_DIR) gets `runtimePermissions`.
    explicit VorelaProcess(
        const std::string& preferences = {},
        std::filesystem::perms runtimePermissions = std::filesystem::perms::owner_all);
    ~VorelaProcess();
    VorelaProcess(const VorelaProcess&) = delete;
    VorelaProcess& operator=(const VorelaProcess&) = delete;

    // Starts the program again in the same home, once the last run has ended.
    void relaunch();
    // A later start of the program with these arguments; its exit status.
    std::optional<int> startAgain(const std::vector<std::string>& arguments) const;
    // The same, left running: its process id.
    pid_t startAgainInBackground(const std::vector<std::string>& arguments) const;
    // What later starts wrote to standard output and error.
    std::string laterStartsLog() const;
    std::string log() const;
    bool isRunning();
    // Sends the signal and waits for the program to end; its exit status (-1 when the
    // signal killed it), or nothing when it was still running after `seconds`.
    std::optional<int> endWith(int signal, double seconds);
    // Waits for the program to end by itself; its exit status, as endWith().
    std::optional<int> waitForEnd(double seconds);
    pid_t pid() const { return pid_; }
    const std::filesystem::path& home() const { return home_; }
    // Until the tray icon is in the tray.
    std::optional<QRect> waitForTrayIcon() const;

private:
    std::filesystem::path home_;
    std::filesystem::perms runtimePermissions_;
    pid_t pid_ = 0;
};

}  // namespace vorela::testing
