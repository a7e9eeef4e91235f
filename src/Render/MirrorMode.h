#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace vorela {

// How the panel's text is mirrored; stored by its raw value (the case name).
enum class MirrorMode { none, horizontal, vertical, rotated180 };

inline constexpr std::array<MirrorMode, 4> kAllMirrorModes = {
    MirrorMode::none, MirrorMode::horizontal, MirrorMode::vertical, MirrorMode::rotated180};

std::string_view rawValue(MirrorMode mode);
std::optional<MirrorMode> fromRawValue(std::type_identity<MirrorMode>, std::string_view raw);
// "Sin espejo", "Espejo horizontal", "Espejo vertical", "Rotado 180°".
std::string localizedName(MirrorMode mode);

// The scales the text view applies to its drawing: 1 or -1 on each axis.
struct MirrorScale {
    double horizontal = 1;
    double vertical = 1;
    bool operator==(const MirrorScale&) const = default;
};
MirrorScale scale(MirrorMode mode);

}  // namespace vorela
