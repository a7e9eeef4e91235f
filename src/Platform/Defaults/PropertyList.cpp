#include "Platform/Defaults/PropertyList.h"

#include <cmath>
#include <limits>

namespace vorela {

namespace {

// 2^63 and 2^64 as doubles: the first values above every int64 and every uint64.
constexpr double kTwoTo63 = 9223372036854775808.0;
constexpr double kTwoTo64 = 18446744073709551616.0;

std::optional<std::int64_t> exactInteger(double d) {
    if (!std::isfinite(d) || d != std::trunc(d)) return std::nullopt;
    if (d < -kTwoTo63 || d >= kTwoTo63) return std::nullopt;
    return static_cast<std::int64_t>(d);
}

std::optional<std::uint64_t> exactUnsigned(double d) {
    if (!std::isfinite(d) || d != std::trunc(d)) return std::nullopt;
    if (d < 0 || d >= kTwoTo64) return std::nullopt;
    return static_cast<std::uint64_t>(d);
}

}  // namespace

PropertyList::PropertyList(std::uint64_t v) {
    if (v <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        storage_ = static_cast<std::int64_t>(v);
    } else {
        storage_ = v;
    }
}

std::optional<double> PropertyList::asDouble() const {
    if (const double* d = real()) return *d;
    if (const std::int64_t* i = integer()) {
        const double d = static_cast<double>(*i);
        // Large integers lose bits as doubles; such a read is not exact, so it fails.
        if (auto back = exactInteger(d); back && *back == *i) return d;
        return std::nullopt;
    }
    if (const std::uint64_t* u = unsignedInteger()) {
        const double d = static_cast<double>(*u);
        if (auto back = exactUnsigned(d); back && *back == *u) return d;
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::int64_t> PropertyList::asInt64() const {
    if (const std::int64_t* i = integer()) return *i;
    if (const double* d = real()) return exactInteger(*d);
    return std::nullopt;
}

std::optional<std::uint64_t> PropertyList::asUInt64() const {
    if (const std::int64_t* i = integer()) {
        if (*i < 0) return std::nullopt;
        return static_cast<std::uint64_t>(*i);
    }
    if (const std::uint64_t* u = unsignedInteger()) return *u;
    if (const double* d = real()) return exactUnsigned(*d);
    return std::nullopt;
}

}  // namespace vorela
