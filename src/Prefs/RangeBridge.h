#pragma once

#include <optional>

#include "Prefs/Bridge.h"
#include "Prefs/Range.h"

namespace vorela::Prefs {

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
