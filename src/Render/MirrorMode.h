#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "Platform/Defaults/EnumCases.h"

namespace vorela {

// How the panel's text is mirrored; stored by its raw value (the case name).
enum class MirrorMode { none, horizontal, vertical, rotated180 };

// The stored raw value and the display name of each case, in declared order.
inline constexpr std::array<EnumCase<MirrorMode>, 4> kMirrorModeCases = {{
    {MirrorMode::none, "none", "Sin espejo"},
    {MirrorMode::horizontal, "horizontal", "Espejo horizontal"},
    {MirrorMode::vertical, "vertical", "Espejo vertical"},
    {MirrorMode::rotated180, "rotated180", "Rotado 180°"},
}};
inline constexpr auto kAllMirrorModes = EnumCases::values(kMirrorModeCases);

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
