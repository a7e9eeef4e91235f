#pragma once

namespace vorela::Prefs {

// A half-open range [lowerBound, upperBound) of a storable bound type, stored as the
// two-element array [lowerBound, upperBound].
template <class Bound>
struct Range {
    Bound lowerBound{};
    Bound upperBound{};

    bool contains(const Bound& value) const { return !(value < lowerBound) && value < upperBound; }
    bool operator==(const Range&) const = default;
};

// A closed range [lowerBound, upperBound], stored like Range.
template <class Bound>
struct ClosedRange {
    Bound lowerBound{};
    Bound upperBound{};

    bool contains(const Bound& value) const {
        return !(value < lowerBound) && !(upperBound < value);
    }
    bool operator==(const ClosedRange&) const = default;
};

}  // namespace vorela::Prefs
