#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Prefs/Bridge.h"
#include "Prefs/KeyText.h"
#include "Prefs/Range.h"
#include "Prefs/RangeBridge.h"

namespace vorela::Prefs {

// An optional is stored as its wrapped value; the empty optional is never stored (a key
// removes its entry instead).
template <Serializable W>
struct Bridge<std::optional<W>> {
    static constexpr bool isNativelySupported = Bridge<W>::isNativelySupported;
    static std::optional<PropertyList> toSerializable(const std::optional<W>& value) {
        if (!value) return std::nullopt;
        return Bridge<W>::toSerializable(*value);
    }
    static std::optional<std::optional<W>> toValue(const PropertyList& object) {
        auto wrapped = Bridge<W>::toValue(object);
        if (!wrapped) return std::nullopt;
        return std::optional<W>(std::move(*wrapped));
    }
};

// Elements that do not convert are dropped, either way; the order is kept. (A vector of
// bytes is data, see Bridge.h, not an array of numbers.)
template <Serializable E>
struct Bridge<std::vector<E>> {
    static constexpr bool isNativelySupported = Bridge<E>::isNativelySupported;
    static std::optional<PropertyList> toSerializable(const std::vector<E>& value) {
        PlistArray out;
        out.reserve(value.size());
        for (const auto& element : value) {
            if (auto object = Bridge<E>::toSerializable(element)) out.push_back(std::move(*object));
        }
        return PropertyList(std::move(out));
    }
    static std::optional<std::vector<E>> toValue(const PropertyList& object) {
        const PlistArray* array = object.array();
        if (!array) return std::nullopt;
        std::vector<E> out;
        out.reserve(array->size());
        for (const auto& element : *array) {
            if (auto value = Bridge<E>::toValue(element)) out.push_back(std::move(*value));
        }
        return out;
    }
};

template <TextConvertibleKey K, Serializable V, class Compare>
struct Bridge<std::map<K, V, Compare>> {
    static constexpr bool isNativelySupported =
        std::same_as<K, std::string> && Bridge<V>::isNativelySupported;
    static std::optional<PropertyList> toSerializable(const std::map<K, V, Compare>& value) {
        PlistDictionary out;
        for (const auto& [key, element] : value) {
            if (auto object = Bridge<V>::toSerializable(element)) {
                out.insert_or_assign(KeyText<K>::toText(key), std::move(*object));
            }
        }
        return PropertyList(std::move(out));
    }
    static std::optional<std::map<K, V, Compare>> toValue(const PropertyList& object) {
        const PlistDictionary* dictionary = object.dictionary();
        if (!dictionary) return std::nullopt;
        std::map<K, V, Compare> out;
        for (const auto& [text, element] : *dictionary) {
            auto key = KeyText<K>::fromText(text);
            if (!key) continue;
            if (auto value = Bridge<V>::toValue(element))
                out.insert_or_assign(std::move(*key), std::move(*value));
        }
        return out;
    }
};

// A set is stored as an array in iteration order. Natively supported elements must all
// read back (else nothing); bridged elements that do not convert are dropped.
template <Serializable E, class Compare>
struct Bridge<std::set<E, Compare>> {
    static constexpr bool isNativelySupported = false;
    static std::optional<PropertyList> toSerializable(const std::set<E, Compare>& value) {
        PlistArray out;
        out.reserve(value.size());
        for (const auto& element : value) {
            if (auto object = Bridge<E>::toSerializable(element)) out.push_back(std::move(*object));
        }
        return PropertyList(std::move(out));
    }
    static std::optional<std::set<E, Compare>> toValue(const PropertyList& object) {
        const PlistArray* array = object.array();
        if (!array) return std::nullopt;
        std::set<E, Compare> out;
        for (const auto& element : *array) {
            if constexpr (Bridge<E>::isNativelySupported) {
                auto value = nativeCast<E>(element);
                if (!value) return std::nullopt;
                out.insert(std::move(*value));
            } else if (auto value = Bridge<E>::toValue(element)) {
                out.insert(std::move(*value));
            }
        }
        return out;
    }
};

}  // namespace vorela::Prefs
