#include "Platform/Workspace/DesktopSettings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace vorela {
namespace {

inline constexpr std::string_view kSettingsScheme = "x-apple.systempreferences:";
inline constexpr std::string_view kDefaultDataDirs = "/usr/local/share:/usr/share";
inline constexpr std::string_view kPortalService =
    "/dbus-1/services/org.freedesktop.portal.Desktop.service";

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The absolute folders of a colon-separated search path. An empty or relative entry would
// run whatever program of that name lies in the current folder: it is skipped.
std::vector<std::string> folders(std::string_view list) {
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(':', start), list.size());
        const std::string_view entry = list.substr(start, end - start);
        if (!entry.empty() && entry.front() == '/') result.emplace_back(entry);
        start = end + 1;
    }
    return result;
}

bool isRegularExecutable(const std::string& file) {
    struct stat status {};
    return ::stat(file.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           ::access(file.c_str(), X_OK) == 0;
}

bool fileExists(const std::string& file) {
    struct stat status {};
    return ::stat(file.c_str(), &status) == 0;
}

}  // namespace

DesktopSettings::Environment DesktopSettings::Environment::current() {
    return {
        .path = variable("PATH"),
        .sessionType = variable("XDG_SESSION_TYPE"),
        .hasWaylandDisplay = !variable("WAYLAND_DISPLAY").empty(),
        .dataDirs = variable("XDG_DATA_DIRS"),
        .isExecutable = isRegularExecutable,
        .exists = fileExists,
    };
}

std::optional<SettingsPage> DesktopSettings::pageOf(std::string_view url) {
    if (url.substr(0, kSettingsScheme.size()) != kSettingsScheme) return std::nullopt;
    const std::size_t query = url.find('?');
    if (query == std::string_view::npos) return std::nullopt;
    const std::string_view anchor = url.substr(query + 1);
    if (anchor == "Privacy_Microphone") return SettingsPage::microphone;
    if (anchor == "Privacy_ScreenCapture") return SettingsPage::screenCapture;
    return std::nullopt;
}

std::vector<SettingsCommand> DesktopSettings::candidates(SettingsPage page) {
    switch (page) {
        case SettingsPage::microphone:
            return {{"gnome-control-center", {"sound"}},
                    {"systemsettings", {"kcm_pulseaudio"}},
                    // The input devices tab, where the microphone is.
                    {"pavucontrol", {"--tab=4"}}};
        case SettingsPage::screenCapture:
            return {{"gnome-control-center", {"privacy"}},
                    {"systemsettings", {"kcm_app-permissions"}}};
    }
    return {};
}

std::string DesktopSettings::missingToolText(SettingsPage page) {
    switch (page) {
        case SettingsPage::microphone:
            return "No hay ninguna configuración de sonido instalada que se pueda abrir "
                   "(gnome-control-center, systemsettings o pavucontrol). Revisá el micrófono "
                   "en la configuración de tu escritorio.";
        case SettingsPage::screenCapture:
            return "No hay ninguna configuración de privacidad instalada que se pueda abrir "
                   "(gnome-control-center o systemsettings). Revisá los permisos de captura de "
                   "pantalla en la configuración de tu escritorio.";
    }
    return {};
}

std::optional<SettingsCommand> DesktopSettings::find(SettingsPage page) const {
    if (!environment_.isExecutable) return std::nullopt;
    const auto searched = folders(environment_.path);
    for (SettingsCommand command : candidates(page)) {
        for (const auto& folder : searched) {
            const std::string program = folder + "/" + command.program;
            if (environment_.isExecutable(program)) {
                command.program = program;
                return command;
            }
        }
    }
    return std::nullopt;
}

bool DesktopSettings::isWaylandSession() const {
    return environment_.sessionType == "wayland" || environment_.hasWaylandDisplay;
}

bool DesktopSettings::hasScreenCastPortal() const {
    if (!environment_.exists) return false;
    const std::string_view dirs =
        environment_.dataDirs.empty() ? kDefaultDataDirs : std::string_view(environment_.dataDirs);
    for (const auto& folder : folders(dirs)) {
        if (environment_.exists(folder + std::string(kPortalService))) return true;
    }
    return false;
}

bool DesktopSettings::hasPermission(SettingsPage page) const {
    switch (page) {
        case SettingsPage::microphone:
            // The device may refuse access whatever the session.
            return true;
        case SettingsPage::screenCapture:
            return isWaylandSession() && hasScreenCastPortal();
    }
    return false;
}

}  // namespace vorela
