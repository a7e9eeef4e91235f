#pragma once

#include <charconv>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Prefs/Bridge.h"
#include "Prefs/Range.h"

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

// Dictionary keys are stored as text: a string as itself, an integer as its decimal
// digits. A stored key that does not parse back drops its entry.
template <class K>
struct KeyText;

template <>
struct KeyText<std::string> {
    static std::string toText(const std::string& key) { return key; }
    static std::optional<std::string> fromText(const std::string& text) { return text; }
};

template <NativeNumber K>
    requires std::integral<K>
struct KeyText<K> {
    static std::string toText(K key) { return std::to_string(key); }
    static std::optional<K> fromText(const std::string& text) {
        K key{};
        const char* end = text.data() + text.size();
        auto [ptr, ec] = std::from_chars(text.data(), end, key);
        if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
        return key;
    }
};

template <class K>
concept TextConvertibleKey = requires(const K& key, const std::string& text) {
    { KeyText<K>::toText(key) } -> std::same_as<std::string>;
    { KeyText<K>::fromText(text) } -> std::same_as<std::optional<K>>;
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
            if (auto value = Bridge<V>::toValue(element)) out.insert_or_assign(std::move(*key), std::move(*value));
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

// [lowerBound, upperBound]. Reading takes the first two elements and ignores the rest;
// a missing or unconvertible bound, or a lower bound above the upper one, reads nothing.
template <class R, class Bound>
struct RangeBridge {
    static constexpr bool isNativelySupported = false;
    static std::optional<PropertyList> toSerializable(const R& value) {
        auto lower = Bridge<Bound>::toSerializable(value.lowerBound);
        auto upper = Bridge<Bound>::toSerializable(value.upperBound);
        if (!lower || !upper) return std::nullopt;
        return PropertyList(PlistArray{std::move(*lower), std::move(*upper)});
    }
    static std::optional<R> toValue(const PropertyList& object) {
        const PlistArray* array = object.array();
        if (!array || array->size() < 2) return std::nullopt;
        auto lower = Bridge<Bound>::toValue((*array)[0]);
        auto upper = Bridge<Bound>::toValue((*array)[1]);
        if (!lower || !upper || *upper < *lower) return std::nullopt;
        return R{std::move(*lower), std::move(*upper)};
    }
};

template <Serializable Bound>
struct Bridge<Range<Bound>> : RangeBridge<Range<Bound>, Bound> {};
template <Serializable Bound>
struct Bridge<ClosedRange<Bound>> : RangeBridge<ClosedRange<Bound>, Bound> {};

}  // namespace vorela::Prefs
