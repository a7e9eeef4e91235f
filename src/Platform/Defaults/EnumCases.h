#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace vorela {

// One row of a stored enumeration's table: the case, the raw text it is stored as, and
// its Spanish display name (its own localisation key, see Bundle).
template <class E>
struct EnumCase {
    E value;
    std::string_view raw;
    std::string_view name;
};

// The conversions every stored enumeration shares, read from its table of cases in
// declared order.
namespace EnumCases {

template <class E, std::size_t N>
constexpr std::array<E, N> values(const std::array<EnumCase<E>, N>& cases) {
    std::array<E, N> out{};
    for (std::size_t i = 0; i < N; ++i) out[i] = cases[i].value;
    return out;
}

// A value outside the table (a cast integer) reads as the first case.
template <class E, std::size_t N>
constexpr const EnumCase<E>& find(const std::array<EnumCase<E>, N>& cases, E value) {
    for (const auto& c : cases) {
        if (c.value == value) return c;
    }
    return cases.front();
}

template <class E, std::size_t N>
constexpr std::string_view raw(const std::array<EnumCase<E>, N>& cases, E value) {
    return find(cases, value).raw;
}

template <class E, std::size_t N>
constexpr std::string_view name(const std::array<EnumCase<E>, N>& cases, E value) {
    return find(cases, value).name;
}

// Nothing for a raw text the table does not hold; the comparison is exact.
template <class E, std::size_t N>
constexpr std::optional<E> fromRaw(const std::array<EnumCase<E>, N>& cases, std::string_view raw) {
    for (const auto& c : cases) {
        if (c.raw == raw) return c.value;
    }
    return std::nullopt;
}

}  // namespace EnumCases
}  // namespace vorela
