#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "Platform/Defaults/EnumCases.h"

namespace vorela {

// How the prompter panel is placed; stored by its raw value (the case name).
enum class PanelMode { notch, floating, fullscreen };

// The stored raw value and the display name of each case, in declared order.
inline constexpr std::array<EnumCase<PanelMode>, 3> kPanelModeCases = {{
    {PanelMode::notch, "notch", "Bajo el notch"},
    {PanelMode::floating, "floating", "Flotante"},
    {PanelMode::fullscreen, "fullscreen", "Pantalla completa"},
}};
inline constexpr auto kAllPanelModes = EnumCases::values(kPanelModeCases);

std::string_view rawValue(PanelMode mode);
std::optional<PanelMode> fromRawValue(std::type_identity<PanelMode>, std::string_view raw);
// "Bajo el notch", "Flotante", "Pantalla completa".
std::string localizedName(PanelMode mode);

// Size limits of a placement, in points.
struct PanelSizeLimits {
    double minWidth = 0;
    double maxWidth = 0;
    double minHeight = 0;
    double maxHeight = 0;
};

PanelSizeLimits sizeLimits(PanelMode mode);
// Raised to the minimum, then lowered to the maximum. Always use the configured mode,
// also while a notch placement has fallen back to floating.
double clampWidth(PanelMode mode, double width);
double clampHeight(PanelMode mode, double height);

}  // namespace vorela
