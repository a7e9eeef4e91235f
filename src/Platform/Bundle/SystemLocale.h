#pragma once

#include <optional>
#include <string>

namespace vorela {

// The desktop's locale, as language and region codes ("es", "AR"). Read from the POSIX
// environment: LC_ALL, then LC_MESSAGES, then LANG; "C" and "POSIX" mean no language.
struct SystemLocale {
    std::string language;  // empty: none
    std::string region;    // empty: none

    // Parses "es_AR.UTF-8@euro", "en-GB", "fr"; "C", "POSIX" and "" give no language.
    static SystemLocale parse(const std::string& identifier);
    // The current locale; tests pin it with setOverride.
    static SystemLocale current();
    static void setOverride(std::optional<std::string> identifier);
};

}  // namespace vorela
