#pragma once

#include <cmath>
#include <concepts>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>

#include "Platform/Defaults/PropertyList.h"
#include "Platform/Time/Date.h"

namespace vorela::Prefs {

// Numbers stored natively: every integer width and both floating-point widths. bool
// and the character types are not numbers here.
template <class T>
concept NativeNumber = (std::integral<T> || std::floating_point<T>)&&!std::same_as<T, bool> &&
                       !std::same_as<T, char> && !std::same_as<T, char8_t> &&
                       !std::same_as<T, char16_t> && !std::same_as<T, char32_t> &&
                       !std::same_as<T, wchar_t>;

// The exact cast of a stored object to a native type, with no other fallback: an
// integer reads as a real when representable, a real reads as an integer only when it
// has no fraction and fits the width. Booleans never read as numbers, nor numbers as
// Booleans, so false, 0 and "false" stay apart.
template <class T>
std::optional<T> nativeCast(const PropertyList& object);

template <NativeNumber T>
std::optional<T> nativeCastNumber(const PropertyList& object) {
    if constexpr (std::floating_point<T>) {
        const auto d = object.asDouble();
        if (!d) return std::nullopt;
        if constexpr (std::same_as<T, double> || std::same_as<T, long double>) {
            return static_cast<T>(*d);
        } else {
            const T narrowed = static_cast<T>(*d);
            if (static_cast<double>(narrowed) != *d && !std::isnan(*d)) return std::nullopt;
            return narrowed;
        }
    } else {
        if constexpr (std::is_signed_v<T>) {
            const auto i = object.asInt64();
            if (!i) return std::nullopt;
            if (*i < std::numeric_limits<T>::min() || *i > std::numeric_limits<T>::max()) {
                return std::nullopt;
            }
            return static_cast<T>(*i);
        } else {
            const auto u = object.asUInt64();
            if (!u || *u > std::numeric_limits<T>::max()) return std::nullopt;
            return static_cast<T>(*u);
        }
    }
}

template <class T>
std::optional<T> nativeCast(const PropertyList& object) {
    if constexpr (NativeNumber<T>) {
        return nativeCastNumber<T>(object);
    } else if constexpr (std::same_as<T, bool>) {
        if (auto b = object.boolean()) return *b;
        return std::nullopt;
    } else if constexpr (std::same_as<T, std::string>) {
        if (auto s = object.string()) return *s;
        return std::nullopt;
    } else if constexpr (std::same_as<T, PlistData>) {
        if (auto d = object.data()) return *d;
        return std::nullopt;
    } else if constexpr (std::same_as<T, Date>) {
        if (auto d = object.date()) return *d;
        return std::nullopt;
    } else {
        static_assert(!sizeof(T), "not a natively supported type");
    }
}

}  // namespace vorela::Prefs
