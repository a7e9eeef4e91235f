#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "Prefs/Bridge.h"

namespace vorela::Prefs {

// A preference value whose type the key does not fix: any property-list object, or no
// value at all. Writing an empty holder to a key removes the key's entry. Arrays and
// dictionaries are made with array()/dictionary(); the other literals convert
// implicitly, and any storable value through the explicit constructor.
class AnySerializable {
public:
    AnySerializable() = default;
    AnySerializable(std::nullptr_t) {}
    AnySerializable(bool v) : value_(v) {}
    AnySerializable(int v) : value_(v) {}
    AnySerializable(std::int64_t v) : value_(v) {}
    AnySerializable(std::uint64_t v) : value_(v) {}
    AnySerializable(double v) : value_(v) {}
    AnySerializable(const char* v) : value_(v) {}
    AnySerializable(std::string v) : value_(std::move(v)) {}

    // The stored form of a storable value; an empty holder when it does not convert.
    // (Excluding the holder itself first keeps copies from asking whether the holder is
    // storable before its bridge is declared.)
    template <class T>
    requires(!std::same_as<T, AnySerializable> &&
             Serializable<T>) explicit AnySerializable(const T& value) {
        set(value);
    }

    // Wraps a stored object as it is (a null object makes an empty holder).
    static AnySerializable fromObject(PropertyList object);
    static AnySerializable array(std::initializer_list<AnySerializable> elements);
    static AnySerializable dictionary(
        std::initializer_list<std::pair<const std::string, AnySerializable>> entries);

    const PropertyList& value() const { return value_; }
    bool isEmpty() const { return value_.isNull(); }

    // The held object converted to T, or nothing.
    template <Serializable T>
    std::optional<T> get() const {
        if (isEmpty()) return std::nullopt;
        return Bridge<T>::toValue(value_);
    }

    template <Serializable T>
    void set(const T& value) {
        auto object = Bridge<T>::toSerializable(value);
        value_ = object ? std::move(*object) : PropertyList();
    }

    // Decided by the first kind both values convert to, in the order data, date,
    // Boolean, integer, real, string, dictionary, array: 1 equals 1.0, true does not
    // equal 1, "1" does not equal 1. Two empty holders are equal.
    bool operator==(const AnySerializable& other) const;
    std::size_t hash() const;

private:
    PropertyList value_;
};

template <>
struct Bridge<AnySerializable> {
    static constexpr bool isNativelySupported = false;
    static std::optional<PropertyList> toSerializable(const AnySerializable& value) {
        if (value.isEmpty()) return std::nullopt;
        return value.value();
    }
    static std::optional<AnySerializable> toValue(const PropertyList& object) {
        return AnySerializable::fromObject(object);
    }
};

}  // namespace vorela::Prefs

template <>
struct std::hash<vorela::Prefs::AnySerializable> {
    std::size_t operator()(const vorela::Prefs::AnySerializable& value) const noexcept {
        return value.hash();
    }
};
