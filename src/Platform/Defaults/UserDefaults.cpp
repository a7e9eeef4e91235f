#include "Platform/Defaults/UserDefaults.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <map>

#include "Platform/Defaults/DefaultsSuite.h"
#include "Platform/Log/Log.h"

namespace vorela {

namespace {

constexpr const char* kApplicationIdentifier = "app.vorela.Vorela";

struct Registry {
    std::mutex mutex;
    std::shared_ptr<UserDefaults> standard;                    // guarded by mutex
    std::map<std::string, std::weak_ptr<UserDefaults>> files;  // guarded by mutex
};

Registry& registry() {
    static Registry r;
    return r;
}

std::shared_ptr<UserDefaults> openLocked(Registry& r, const std::string& filePath) {
    if (auto existing = r.files[filePath].lock()) return existing;
    std::shared_ptr<UserDefaults> suite = std::make_shared<DefaultsSuite>(filePath);
    r.files[filePath] = suite;
    return suite;
}

// A suite name becomes a file name: it must be one plain path component.
bool isValidSuiteName(const std::string& name) {
    if (name.empty() || name == "." || name == ".." || name.front() == '.') return false;
    return name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

}  // namespace

std::string UserDefaults::configFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg != nullptr && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] != '/') {
            const passwd* pw = ::getpwuid(::getuid());
            home = pw != nullptr ? pw->pw_dir : nullptr;
        }
        if (home == nullptr || home[0] != '/') return {};
        base = std::string(home) + "/.config";
    }
    return base + "/" + kApplicationIdentifier;
}

std::shared_ptr<UserDefaults> UserDefaults::standard() {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (!r.standard) {
        const std::string folder = configFolder();
        if (folder.empty()) {
            Log("prefs").error(
                "No se encontró la carpeta de configuración; las preferencias no se guardarán.");
            r.standard = inMemory();
        } else {
            r.standard = openLocked(r, folder + "/" + kApplicationIdentifier + ".plist");
        }
    }
    return r.standard;
}

void UserDefaults::setStandard(std::shared_ptr<UserDefaults> suite) {
    Registry& r = registry();
    std::shared_ptr<UserDefaults> previous;  // released outside the lock: it may flush
    std::lock_guard lock(r.mutex);
    previous = std::exchange(r.standard, std::move(suite));
}

std::shared_ptr<UserDefaults> UserDefaults::suite(const std::string& name) {
    if (!isValidSuiteName(name)) return nullptr;
    const std::string folder = configFolder();
    if (folder.empty()) return nullptr;
    return open(folder + "/" + name + ".plist");
}

std::shared_ptr<UserDefaults> UserDefaults::open(const std::string& filePath) {
    if (filePath.empty()) return nullptr;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return openLocked(r, filePath);
}

std::shared_ptr<UserDefaults> UserDefaults::inMemory() {
    return std::make_shared<DefaultsSuite>(std::nullopt);
}

std::optional<bool> UserDefaults::boolean(const std::string& key) const {
    auto value = object(key);
    if (!value || !value->boolean()) return std::nullopt;
    return *value->boolean();
}

std::optional<std::string> UserDefaults::string(const std::string& key) const {
    auto value = object(key);
    if (!value || !value->string()) return std::nullopt;
    return *value->string();
}

}  // namespace vorela
