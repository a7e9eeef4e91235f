#pragma once

#include <concepts>
#include <optional>
#include <string_view>
#include <type_traits>

namespace vorela {

// An enumeration stored by a raw text value. A type opts in by declaring, next to it
// (found by argument-dependent lookup):
//   std::string_view rawValue(E value);
//   std::optional<E> fromRawValue(std::type_identity<E>, std::string_view raw);
// A raw value the type does not define gives nothing.
template <class E>
concept RawRepresentable = requires(E e, std::string_view raw) {
    { rawValue(e) } -> std::convertible_to<std::string_view>;
    { fromRawValue(std::type_identity<E>{}, raw) } -> std::same_as<std::optional<E>>;
};

template <RawRepresentable E>
std::optional<E> makeFromRawValue(std::string_view raw) {
    return fromRawValue(std::type_identity<E>{}, raw);
}

}  // namespace vorela
