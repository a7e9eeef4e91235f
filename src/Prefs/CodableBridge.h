#pragma once

#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <type_traits>

#include "Platform/Defaults/RawRepresentable.h"
#include "Platform/Foundation/Json.h"
#include "Prefs/Bridge.h"

namespace vorela::Prefs {

// A type with raw text values is stored as its raw value, also when it could be coded
// as JSON; a stored string the type does not define reads nothing.
template <class E>
requires RawRepresentable<E>
struct Bridge<E> {
    static constexpr bool isNativelySupported = false;
    static std::optional<PropertyList> toSerializable(const E& value) {
        return PropertyList(std::string(rawValue(value)));
    }
    static std::optional<E> toValue(const PropertyList& object) {
        const std::string* raw = object.string();
        if (!raw) return std::nullopt;
        return makeFromRawValue<E>(*raw);
    }
};

// A structure opts in to JSON storage by declaring nlohmann-json's to_json and
// from_json beside it (found by argument-dependent lookup).
template <class T>
concept JsonCodable = std::is_class_v<T> && requires(nlohmann::json& json, const T& value, T& out) {
    to_json(json, value);
    from_json(std::as_const(json), out);
};

// The encoding error is printed to standard output; callers get nothing.
template <class T>
std::optional<std::string> encodeJsonText(const T& value) {
    std::string error;
    try {
        nlohmann::json json = value;
        auto encoded = Json::encode(json);
        if (encoded.text) return encoded.text;
        error = std::move(encoded.error);
    } catch (const std::exception& e) {
        error = std::string("No se pudo codificar el valor en JSON: ") + e.what();
    }
    std::fputs((error + "\n").c_str(), stdout);
    std::fflush(stdout);
    return std::nullopt;
}

// Any decoding failure (malformed text, a missing or mistyped field) is silent.
template <class T>
std::optional<T> decodeJsonText(const std::string& text) {
    auto json = Json::parse(text);
    if (!json) return std::nullopt;
    try {
        return json->template get<T>();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// Structures are stored as compact JSON text with sorted keys.
template <class T>
requires JsonCodable<T> &&(!RawRepresentable<T>)struct Bridge<T> {
    static constexpr bool isNativelySupported = false;
    static std::optional<PropertyList> toSerializable(const T& value) {
        auto text = encodeJsonText(value);
        if (!text) return std::nullopt;
        return PropertyList(std::move(*text));
    }
    static std::optional<T> toValue(const PropertyList& object) {
        const std::string* text = object.string();
        if (!text) return std::nullopt;
        return decodeJsonText<T>(*text);
    }
};

}  // namespace vorela::Prefs
