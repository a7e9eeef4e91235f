#include "Platform/Bundle/SystemLocale.h"

#include <cctype>
#include <cstdlib>
#include <mutex>

namespace vorela {

namespace {
std::mutex overrideMutex;
std::optional<std::string> overrideIdentifier;

std::string environmentLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return value;
    }
    return {};
}
}  // namespace

SystemLocale SystemLocale::parse(const std::string& identifier) {
    std::string id = identifier.substr(0, identifier.find_first_of(".@"));
    if (id.empty() || id == "C" || id == "POSIX") return {};
    const auto sep = id.find_first_of("_-");
    SystemLocale locale;
    for (char c : id.substr(0, sep))
        locale.language += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (sep != std::string::npos) {
        for (char c : id.substr(sep + 1))
            locale.region += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return locale;
}

SystemLocale SystemLocale::current() {
    {
        std::lock_guard lock(overrideMutex);
        if (overrideIdentifier) return parse(*overrideIdentifier);
    }
    return parse(environmentLocale());
}

void SystemLocale::setOverride(std::optional<std::string> identifier) {
    std::lock_guard lock(overrideMutex);
    overrideIdentifier = std::move(identifier);
}

}  // namespace vorela
