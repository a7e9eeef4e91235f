#include "Platform/Bundle/Bundle.h"

#include "BuildInfo.h"

namespace vorela {

std::string Bundle::shortVersion() { return build::kShortVersion; }

std::string Bundle::buildVersion() { return build::kBuildVersion; }

std::optional<std::string> Bundle::infoValue(std::string_view key) {
    if (key == "CFBundleShortVersionString") return shortVersion();
    if (key == "CFBundleVersion") return buildVersion();
    if (key == "CFBundleIdentifier") return std::string(identifier());
    return std::nullopt;
}

}  // namespace vorela
