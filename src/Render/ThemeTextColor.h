#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "Platform/Defaults/EnumCases.h"
#include "Platform/Foundation/Color.h"

namespace vorela {

// Colour choice for the script text and the highlight; stored by its raw value.
enum class ThemeTextColor { cream, white, amber, green, brand };

// The stored raw value and the display name of each case, in declared order.
inline constexpr std::array<EnumCase<ThemeTextColor>, 5> kThemeTextColorCases = {{
    {ThemeTextColor::cream, "cream", "Crema"},
    {ThemeTextColor::white, "white", "Blanco"},
    {ThemeTextColor::amber, "amber", "Ámbar"},
    {ThemeTextColor::green, "green", "Verde"},
    {ThemeTextColor::brand, "brand", "Naranja Vorela"},
}};
inline constexpr auto kAllThemeTextColors = EnumCases::values(kThemeTextColorCases);

std::string_view rawValue(ThemeTextColor color);
std::optional<ThemeTextColor> fromRawValue(std::type_identity<ThemeTextColor>,
                                           std::string_view raw);
// "Crema", "Blanco", "Ámbar", "Verde", "Naranja Vorela".
std::string localizedName(ThemeTextColor color);
// The one mapping from a choice to its colour: text, highlight and reading-line ticks all
// go through it.
Color color(ThemeTextColor choice);

}  // namespace vorela
