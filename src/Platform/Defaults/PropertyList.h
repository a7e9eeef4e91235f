#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "Platform/Time/Date.h"

namespace vorela {

class PropertyList;
using PlistArray = std::vector<PropertyList>;
using PlistDictionary = std::map<std::string, PropertyList>;
using PlistData = std::vector<std::uint8_t>;

// One property-list object: what a user-defaults suite can store. Integers keep their
// signedness apart from reals, so 140 and 140.0 stay distinct through a save and a reload
// while numeric reads may still convert exactly (see asDouble/asInt64/asUInt64). An
// unsigned integer is held as such only above the signed range; below it, it is the same
// object as the signed one, so 5u == 5.
class PropertyList {
public:
    enum class Type {
        null,
        boolean,
        integer,
        unsignedInteger,
        real,
        string,
        data,
        date,
        array,
        dictionary
    };
    using Storage = std::variant<std::monostate, bool, std::int64_t, std::uint64_t, double,
                                 std::string, PlistData, Date, PlistArray, PlistDictionary>;

    PropertyList() = default;
    PropertyList(bool v) : storage_(v) {}
    PropertyList(int v) : storage_(static_cast<std::int64_t>(v)) {}
    PropertyList(std::int64_t v) : storage_(v) {}
    PropertyList(std::uint64_t v);
    PropertyList(double v) : storage_(v) {}
    PropertyList(const char* v) : storage_(std::string(v)) {}
    PropertyList(std::string v) : storage_(std::move(v)) {}
    PropertyList(PlistData v) : storage_(std::move(v)) {}
    PropertyList(Date v) : storage_(v) {}
    PropertyList(PlistArray v) : storage_(std::move(v)) {}
    PropertyList(PlistDictionary v) : storage_(std::move(v)) {}

    Type type() const { return static_cast<Type>(storage_.index()); }
    bool isNull() const { return type() == Type::null; }
    const Storage& storage() const { return storage_; }

    // Typed access: the exact stored type, else nothing.
    const bool* boolean() const { return std::get_if<bool>(&storage_); }
    const std::int64_t* integer() const { return std::get_if<std::int64_t>(&storage_); }
    // Only integers above INT64_MAX.
    const std::uint64_t* unsignedInteger() const { return std::get_if<std::uint64_t>(&storage_); }
    const double* real() const { return std::get_if<double>(&storage_); }
    const std::string* string() const { return std::get_if<std::string>(&storage_); }
    const PlistData* data() const { return std::get_if<PlistData>(&storage_); }
    const Date* date() const { return std::get_if<Date>(&storage_); }
    const PlistArray* array() const { return std::get_if<PlistArray>(&storage_); }
    const PlistDictionary* dictionary() const { return std::get_if<PlistDictionary>(&storage_); }

    // Exact numeric conversions: an integer reads as a double when representable
    // (140 -> 140.0); a real reads as an integer only when it has no fraction and fits.
    std::optional<double> asDouble() const;
    std::optional<std::int64_t> asInt64() const;
    std::optional<std::uint64_t> asUInt64() const;

    bool operator==(const PropertyList& other) const = default;

private:
    Storage storage_;
};

}  // namespace vorela
