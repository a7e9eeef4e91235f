#pragma once

#include <charconv>
#include <concepts>
#include <optional>
#include <string>

#include "Prefs/NativeCast.h"

namespace vorela::Prefs {

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

}  // namespace vorela::Prefs
