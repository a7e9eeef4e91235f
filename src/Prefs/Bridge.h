#pragma once

#include <concepts>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "Platform/Defaults/PropertyList.h"
#include "Platform/Time/Date.h"
#include "Prefs/NativeCast.h"

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

// A natively supported key whose stored object has another type is read as JSON text
// of the key's type: a string holding "2" reads 2.0 under a double key.
template <class T>
std::optional<T> nativeFromJsonText(const PropertyList& object);

template <class T>
struct NativeBridge {
    static constexpr bool isNativelySupported = true;

    static std::optional<PropertyList> toSerializable(const T& value) {
        if constexpr (std::integral<T> && !std::same_as<T, bool>) {
            if constexpr (std::is_unsigned_v<T>) {
                return PropertyList(static_cast<std::uint64_t>(value));
            } else {
                return PropertyList(static_cast<std::int64_t>(value));
            }
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
