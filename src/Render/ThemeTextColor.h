#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "Platform/Foundation/Color.h"

namespace vorela {

// Colour choice for the script text and the highlight; stored by its raw value.
enum class ThemeTextColor { cream, white, amber, green, brand };

inline constexpr std::array<ThemeTextColor, 5> kAllThemeTextColors = {
    ThemeTextColor::cream, ThemeTextColor::white, ThemeTextColor::amber, ThemeTextColor::green,
    ThemeTextColor::brand};

std::string_view rawValue(ThemeTextColor color);
std::optional<ThemeTextColor> fromRawValue(std::type_identity<ThemeTextColor>,
                                           std::string_view raw);
// "Crema", "Blanco", "Ámbar", "Verde", "Naranja Vorela".
std::string localizedName(ThemeTextColor color);
// The one mapping from a choice to its colour: text, highlight and reading-line ticks all
// go through it.
Color color(ThemeTextColor choice);

}  // namespace vorela
