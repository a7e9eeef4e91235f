#pragma once

#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "Platform/Foundation/Json.h"
#include "Prefs/Bridge.h"

namespace vorela::Prefs {

// JSON value to a native type, as a JSON decoder with default settings reads it: numbers
// must fit exactly, dates are seconds since 1 January 2001 and bytes are Base64 text.
template <class T>
std::optional<T> nativeFromJson(const nlohmann::json& json) {
    if constexpr (std::same_as<T, bool>) {
        if (json.is_boolean()) return json.get<bool>();
        return std::nullopt;
    } else if constexpr (std::same_as<T, std::string>) {
        if (json.is_string()) return json.get<std::string>();
        return std::nullopt;
    } else if constexpr (std::same_as<T, PlistData>) {
        if (!json.is_string()) return std::nullopt;
        return Json::base64Decode(json.get_ref<const std::string&>());
    } else if constexpr (std::same_as<T, Date>) {
        if (!json.is_number()) return std::nullopt;
        const double seconds = json.get<double>();
        if (!std::isfinite(seconds)) return std::nullopt;
        return Date::fromReference(seconds);
    } else {
        static_assert(NativeNumber<T>);
        if (json.is_number_unsigned()) {
            const auto u = json.get<std::uint64_t>();
            if constexpr (std::integral<T>) {
                if (u > static_cast<std::uint64_t>(std::numeric_limits<T>::max()))
                    return std::nullopt;
                return static_cast<T>(u);
            } else {
                return nativeCast<T>(PropertyList(static_cast<double>(u)));
            }
        }
        if (json.is_number_integer()) return nativeCast<T>(PropertyList(json.get<std::int64_t>()));
        if (json.is_number_float()) return nativeCast<T>(PropertyList(json.get<double>()));
        return std::nullopt;
    }
}

template <class T>
std::optional<T> nativeFromJsonText(const PropertyList& object) {
    // A string is read as JSON text; any other mismatched object cannot be text.
    const std::string* text = object.string();
    if (!text) return std::nullopt;
    if constexpr (std::same_as<T, std::string>) {
        return std::nullopt;  // a string that is a string was taken by the exact cast
    } else {
        auto json = Json::parse(*text);
        if (!json) return std::nullopt;
        return nativeFromJson<T>(*json);
    }
}

}  // namespace vorela::Prefs
