#pragma once

#include <cmath>
#include <concepts>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>

#include "Platform/Date.h"
#include "Platform/PropertyList.h"

namespace vorela::Prefs {

// How a value type is stored in a user-defaults suite. Each storable type T has a
// specialisation of Bridge<T> with:
//   static constexpr bool isNativelySupported;  // stored unchanged
//   static std::optional<PropertyList> toSerializable(const T& value);
//   static std::optional<T> toValue(const PropertyList& object);
// Neither throws; every failure (type mismatch, unknown raw value, undecodable JSON,
// a malformed UUID, a range with a missing bound...) is the empty result. Containers
// convert their elements through the elements' bridges, recursively.
template <class T, class Enable = void>
struct Bridge;

template <class T>
concept Serializable = requires(const T& value, const PropertyList& object) {
    { Bridge<T>::isNativelySupported } -> std::convertible_to<bool>;
    { Bridge<T>::toSerializable(value) } -> std::same_as<std::optional<PropertyList>>;
    { Bridge<T>::toValue(object) } -> std::same_as<std::optional<T>>;
};

template <Serializable T>
std::optional<PropertyList> toSerializable(const T& value) {
    return Bridge<T>::toSerializable(value);
}

template <Serializable T>
std::optional<T> toValue(const PropertyList& object) {
    return Bridge<T>::toValue(object);
}

template <Serializable T>
inline constexpr bool isNativelySupported = Bridge<T>::isNativelySupported;

// Numbers stored natively: every integer width and both floating-point widths. bool
// and the character types are not numbers here.
template <class T>
concept NativeNumber = (std::integral<T> || std::floating_point<T>) && !std::same_as<T, bool> &&
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
        const auto i = object.asInt64();
        if (!i) return std::nullopt;
        if constexpr (std::is_signed_v<T>) {
            if (*i < std::numeric_limits<T>::min() || *i > std::numeric_limits<T>::max()) {
                return std::nullopt;
            }
        } else {
            if (*i < 0 || static_cast<std::uint64_t>(*i) > std::numeric_limits<T>::max()) {
                return std::nullopt;
            }
        }
        return static_cast<T>(*i);
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

// A natively supported key whose stored object has another type is read as JSON text
// of the key's type: a string holding "2" reads 2.0 under a double key.
template <class T>
std::optional<T> nativeFromJsonText(const PropertyList& object);

template <class T>
struct NativeBridge {
    static constexpr bool isNativelySupported = true;

    static std::optional<PropertyList> toSerializable(const T& value) {
        if constexpr (std::integral<T> && !std::same_as<T, bool>) {
            if constexpr (std::is_unsigned_v<T> && sizeof(T) >= sizeof(std::int64_t)) {
                if (value > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
                    return std::nullopt;  // no property-list integer holds it
                }
            }
            return PropertyList(static_cast<std::int64_t>(value));
        } else if constexpr (std::floating_point<T>) {
            return PropertyList(static_cast<double>(value));
        } else {
            return PropertyList(value);
        }
    }

    static std::optional<T> toValue(const PropertyList& object) {
        if (auto exact = nativeCast<T>(object)) return exact;
        return nativeFromJsonText<T>(object);
    }
};

template <NativeNumber T>
struct Bridge<T> : NativeBridge<T> {};
template <>
struct Bridge<bool> : NativeBridge<bool> {};
template <>
struct Bridge<std::string> : NativeBridge<std::string> {};
template <>
struct Bridge<PlistData> : NativeBridge<PlistData> {};
template <>
struct Bridge<Date> : NativeBridge<Date> {};

}  // namespace vorela::Prefs

#include "Prefs/NativeJson.h"
