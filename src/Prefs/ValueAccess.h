#pragma once

#include <optional>
#include <string>
#include <type_traits>

#include "Platform/Defaults/UserDefaults.h"
#include "Prefs/AnySerializable.h"
#include "Prefs/Bridge.h"

namespace vorela::Prefs {

// Types whose values may be "no value": optionals and AnySerializable. Writing no value
// removes the entry.
template <class T>
struct IsOptionalValue : std::false_type {};
template <class W>
struct IsOptionalValue<std::optional<W>> : std::true_type {};
template <>
struct IsOptionalValue<AnySerializable> : std::true_type {};

template <class T>
concept OptionalValue = IsOptionalValue<T>::value;

template <class T>
bool isNilValue(const T& value) {
    if constexpr (std::same_as<T, AnySerializable>) {
        return value.isEmpty();
    } else if constexpr (OptionalValue<T>) {
        return !value.has_value();
    } else {
        return false;
    }
}

// Logged when a value cannot be converted for storage and the entry is kept.
void logUnconvertibleValue(const std::string& name);

// The entry converted to T, or nothing (no entry, or one that does not convert).
template <Serializable T>
std::optional<T> getValue(const UserDefaults& suite, const std::string& name) {
    auto object = suite.object(name);
    if (!object) return std::nullopt;
    return Bridge<T>::toValue(*object);
}

// Stores the value under the name, or removes the entry for no value. A value that
// does not convert leaves the entry untouched rather than deleting it.
template <Serializable T>
void setValue(UserDefaults& suite, const std::string& name, const T& value) {
    if (isNilValue(value)) {
        suite.remove(name);
        return;
    }
    auto object = Bridge<T>::toSerializable(value);
    if (!object) {
        logUnconvertibleValue(name);
        return;
    }
    suite.set(name, std::move(*object));
}

}  // namespace vorela::Prefs
