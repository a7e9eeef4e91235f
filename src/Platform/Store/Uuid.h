#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <functional>
#include <string>

namespace vorela {

// A random (version 4) universally unique identifier, used as a key that its creator
// keeps as a token. make() may be called from any thread.
struct Uuid {
    std::array<std::uint8_t, 16> bytes{};

    static Uuid make();
    // Upper-case hexadecimal in the 8-4-4-4-12 layout.
    std::string uuidString() const;

    auto operator<=>(const Uuid&) const = default;
};

}  // namespace vorela

template <>
struct std::hash<vorela::Uuid> {
    std::size_t operator()(const vorela::Uuid& id) const noexcept {
        std::size_t h = 0;
        for (auto b : id.bytes) h = h * 131 + b;
        return h;
    }
};
