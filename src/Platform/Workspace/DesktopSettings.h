#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorela {

// The permission pages another system's settings addresses name, which this desktop opens
// with a settings tool of its own.
enum class SettingsPage { microphone, screenCapture };

// A program and its arguments, started as they are (never through a shell).
struct SettingsCommand {
    std::string program;
    std::vector<std::string> arguments;
    bool operator==(const SettingsCommand&) const = default;
};

// Finds the desktop's own settings tool for a permission page, looked up at run time on
// PATH, and says whether the session has that permission at all. Toolkit-free; the
// environment is given, so any lookup can be replayed.
class DesktopSettings {
public:
    // What the lookup reads of the session.
    struct Environment {
        std::string path;         // PATH
        std::string sessionType;  // XDG_SESSION_TYPE
        bool hasWaylandDisplay = false;
        std::string dataDirs;  // XDG_DATA_DIRS; empty means the standard folders
        // Whether a file is an executable program / exists.
        std::function<bool(const std::string&)> isExecutable;
        std::function<bool(const std::string&)> exists;

        // This process's environment and file system.
        static Environment current();
    };

    explicit DesktopSettings(Environment environment) : environment_(std::move(environment)) {}

    // The page a settings address names; none for any other link.
    static std::optional<SettingsPage> pageOf(std::string_view url);
    // The tools that can show a page, in the order they are tried.
    static std::vector<SettingsCommand> candidates(SettingsPage page);
    // What the user reads when no tool for the page is installed.
    static std::string missingToolText(SettingsPage page);

    // The first candidate whose program is on PATH, with the program's full path.
    std::optional<SettingsCommand> find(SettingsPage page) const;
    // Whether the page is about a permission this session has. X11 lets any program read
    // the screen, so only a Wayland session with the desktop portal, which asks the user
    // before a screen cast, has a screen-capture permission.
    bool hasPermission(SettingsPage page) const;
    bool isWaylandSession() const;
    bool hasScreenCastPortal() const;

private:
    Environment environment_;
};

}  // namespace vorela
