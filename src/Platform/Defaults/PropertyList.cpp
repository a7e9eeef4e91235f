#include "Platform/Defaults/PropertyList.h"

#include <cmath>

namespace vorela {

namespace {

// 2^63 as a double: the first value above every int64.
constexpr double kTwoTo63 = 9223372036854775808.0;

std::optional<std::int64_t> exactInteger(double d) {
    if (!std::isfinite(d) || d != std::trunc(d)) return std::nullopt;
    if (d < -kTwoTo63 || d >= kTwoTo63) return std::nullopt;
    return static_cast<std::int64_t>(d);
}

}  // namespace

std::optional<double> PropertyList::asDouble() const {
    if (const double* d = real()) return *d;
    if (const std::int64_t* i = integer()) {
        const double d = static_cast<double>(*i);
        // Large integers lose bits as doubles; such a read is not exact, so it fails.
        if (auto back = exactInteger(d); back && *back == *i) return d;
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::int64_t> PropertyList::asInt64() const {
    if (const std::int64_t* i = integer()) return *i;
    if (const double* d = real()) return exactInteger(*d);
    return std::nullopt;
}

}  // namespace vorela
