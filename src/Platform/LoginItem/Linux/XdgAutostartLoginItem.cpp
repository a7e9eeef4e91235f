#include "Platform/LoginItem/Linux/XdgAutostartLoginItem.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>

namespace vorela {
namespace {

std::optional<std::filesystem::path> absoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    if (!value || value[0] != '/') return std::nullopt;
    return std::filesystem::path(value);
}

// An Exec argument quoted as desktop entries want it: inside double quotes, with the
// reserved characters escaped, and "%" doubled so no field code is read into it.
std::string quotedExecArgument(const std::string& argument) {
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += "\\\\";
        if (c == '%') quoted += '%';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

XdgAutostartLoginItem::XdgAutostartLoginItem(std::string program,
                                             std::optional<std::filesystem::path> configHome)
    : program_(std::move(program)), configHome_(std::move(configHome)) {}

std::optional<std::filesystem::path> XdgAutostartLoginItem::entryPath() const {
    auto home = configHome_ ? configHome_ : absoluteEnv("XDG_CONFIG_HOME");
    if (!home) {
        if (auto user = absoluteEnv("HOME")) home = *user / ".config";
    }
    if (!home) return std::nullopt;
    return *home / "autostart" / kFileName;
}

std::string XdgAutostartLoginItem::currentProgram() {
    std::error_code error;
    auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("vorela") : self.string();
}

LoginItemStatus XdgAutostartLoginItem::status() const {
    const auto path = entryPath();
    if (!path) return LoginItemStatus::notFound;
    std::ifstream in(*path);
    if (!in) return LoginItemStatus::notRegistered;
    // A desktop that switched the entry off keeps the file and marks it hidden.
    for (std::string line; std::getline(in, line);) {
        if (line == "Hidden=true" || line == "X-GNOME-Autostart-enabled=false")
            return LoginItemStatus::notRegistered;
    }
    return LoginItemStatus::enabled;
}

std::string XdgAutostartLoginItem::entryText() const {
    std::ostringstream text;
    text << "[Desktop Entry]\n"
         << "Type=Application\n"
         << "Name=Vorela\n"
         << "Exec=" << quotedExecArgument(program_) << "\n"
         << "Icon=app.vorela.Vorela\n"
         << "Terminal=false\n"
         << "X-GNOME-Autostart-enabled=true\n";
    return text.str();
}

std::optional<LoginItemFailure> XdgAutostartLoginItem::registerItem() {
    const auto path = entryPath();
    if (!path) return LoginItemFailure{LoginItemError::noConfigFolder, {}};
    std::error_code error;
    std::filesystem::create_directories(path->parent_path(), error);
    if (error) return LoginItemFailure{LoginItemError::cannotWrite, error.message()};
    // Written beside the entry and renamed over it, so a desktop never reads half a file.
    auto temporary = *path;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        if (!out) return LoginItemFailure{LoginItemError::cannotWrite, std::strerror(errno)};
        out << entryText();
        out.flush();
        if (!out) {
            std::filesystem::remove(temporary, error);
            return LoginItemFailure{LoginItemError::cannotWrite, "escritura incompleta"};
        }
    }
    std::filesystem::rename(temporary, *path, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return LoginItemFailure{LoginItemError::cannotWrite, error.message()};
    }
    return std::nullopt;
}

std::optional<LoginItemFailure> XdgAutostartLoginItem::unregisterItem() {
    const auto path = entryPath();
    if (!path) return LoginItemFailure{LoginItemError::noConfigFolder, {}};
    std::error_code error;
    std::filesystem::remove(*path, error);
    if (error) return LoginItemFailure{LoginItemError::cannotRemove, error.message()};
    return std::nullopt;
}

}  // namespace vorela
