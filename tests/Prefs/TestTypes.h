#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace vorela::Prefs::testing {

// A raw-valued enumeration like the program's modes.
enum class Mode { classic, voice, manual };

inline std::string_view rawValue(Mode m) {
    switch (m) {
        case Mode::classic:
            return "classic";
        case Mode::voice:
            return "voice";
        case Mode::manual:
            return "manual";
    }
    return "";
}

inline std::optional<Mode> fromRawValue(std::type_identity<Mode>, std::string_view raw) {
    if (raw == "classic") return Mode::classic;
    if (raw == "voice") return Mode::voice;
    if (raw == "manual") return Mode::manual;
    return std::nullopt;
}

// A structure stored as JSON, shaped like a window placement.
struct Geometry {
    std::string mode;
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    bool operator==(const Geometry&) const = default;
};

// Members declared out of alphabetical order on purpose: the stored keys must be sorted.
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(Geometry, mode, x, y, width, height)

}  // namespace vorela::Prefs::testing
