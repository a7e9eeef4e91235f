#pragma once

#include <array>

namespace vorela::AboutLinks {

// The product's site and contact address, deployment values of this build.
inline constexpr const char* kSite = "https://vorela.app";
inline constexpr const char* kContactAddress = "hola@vorela.app";

struct Link {
    const char* label;
    const char* objectName;
    const char* url;
};

inline constexpr std::array<Link, 4> kLinks = {{
    {"Cambios", "changelogLink", "https://vorela.app/changelog.html"},
    {"Privacidad", "privacyLink", "https://vorela.app/privacidad.html"},
    {"Licencia de uso", "licenseLink", "https://vorela.app/eula.html"},
    {kContactAddress, "contactLink", "mailto:hola@vorela.app"},
}};

}  // namespace vorela::AboutLinks
