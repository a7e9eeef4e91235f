#pragma once

#include <compare>

namespace vorela {

// A point in wall-clock time. Stored preferences and library records keep dates
// relative to 1 January 2001 00:00:00 UTC, as the property-list format does.
struct Date {
    static constexpr double kReferenceTo1970 = 978307200.0;

    double secondsSince1970 = 0;

    static Date fromReference(double secondsSinceReference) {
        return Date{secondsSinceReference + kReferenceTo1970};
    }
    double secondsSinceReference() const { return secondsSince1970 - kReferenceTo1970; }

    auto operator<=>(const Date&) const = default;
};

}  // namespace vorela
