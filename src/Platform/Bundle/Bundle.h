#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorela {

// What the application knows about itself: identifier, version and its texts.
// Texts are Spanish and their own lookup key, so localized() returns the key.
class Bundle {
public:
    static const char* identifier() { return "app.vorela.Vorela"; }
    static std::string shortVersion();  // "CFBundleShortVersionString"
    static std::string buildVersion();  // "CFBundleVersion"
    // An information-dictionary value; Linux builds carry no update feed or key.
    static std::optional<std::string> infoValue(std::string_view key);
    static std::string localized(std::string_view key) { return std::string(key); }
};

}  // namespace vorela
