#pragma once

#include <optional>
#include <string_view>

#include "Platform/Foundation/Color.h"
#include "Platform/Store/Uuid.h"
#include "Prefs/Bridge.h"
#include "Prefs/Url.h"

namespace vorela::Prefs {

// A URL is stored as the JSON text of its coding, {"relative":"<text>"}.
template <>
struct Bridge<Url> {
    static constexpr bool isNativelySupported = false;
    static std::optional<PropertyList> toSerializable(const Url& value);
    static std::optional<Url> toValue(const PropertyList& object);
};

// A UUID is stored as its upper-case text; a malformed string reads nothing.
template <>
struct Bridge<Uuid> {
    static constexpr bool isNativelySupported = false;
    static std::optional<PropertyList> toSerializable(const Uuid& value);
    static std::optional<Uuid> toValue(const PropertyList& object);
};

// Reads the 8-4-4-4-12 hexadecimal layout, either case.
std::optional<Uuid> parseUuid(std::string_view text);

// A colour is stored as [colour-space name, components]: ["sRGB", [r, g, b, alpha]].
// Reading needs at least those two elements, a known space and one finite number per
// component of that space; anything else reads nothing.
template <>
struct Bridge<Color> {
    static constexpr bool isNativelySupported = false;
    static std::optional<PropertyList> toSerializable(const Color& value);
    static std::optional<Color> toValue(const PropertyList& object);
};

inline constexpr std::string_view kSrgbColorSpaceName = "sRGB";

}  // namespace vorela::Prefs
