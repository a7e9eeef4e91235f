#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace vorela {

class ModelObject;

// One stored field: nothing (absent), an integer (also record references), a double
// (also dates, as seconds since 1 January 2001) or a text.
using ModelValue = std::variant<std::monostate, std::int64_t, double, std::string>;

enum class AttributeType { text, real, integer, date, reference };

struct AttributeDescription {
    std::string name;  // the column's name, as the record's property is named
    AttributeType type = AttributeType::text;
    bool isOptional = false;
    // A reference holds the row of a record of `destination` (a to-one relationship; its
    // inverse to-many list is the set of records that reference a row). Deleting the
    // destination deletes the referencing record when `cascades`, else clears the field.
    std::string destination;
    bool cascades = false;

    static AttributeDescription field(std::string name, AttributeType type,
                                      bool isOptional = false) {
        AttributeDescription attribute;
        attribute.name = std::move(name);
        attribute.type = type;
        attribute.isOptional = isOptional;
        return attribute;
    }
    static AttributeDescription reference(std::string name, std::string destination,
                                          bool cascades) {
        AttributeDescription attribute = field(std::move(name), AttributeType::reference, true);
        attribute.destination = std::move(destination);
        attribute.cascades = cascades;
        return attribute;
    }
};

// A record type: a table named after the entity, with one column per attribute.
struct EntityDescription {
    std::string name;
    std::vector<AttributeDescription> attributes;
    std::function<std::shared_ptr<ModelObject>()> make;  // an empty record of this type

    std::optional<std::size_t> indexOf(const std::string& attribute) const {
        for (std::size_t i = 0; i < attributes.size(); ++i) {
            if (attributes[i].name == attribute) return i;
        }
        return std::nullopt;
    }
};

// The persistent identity of a record: equal for the same row of the same open store.
struct PersistentIdentifier {
    std::uint64_t store = 0;
    std::string entity;
    std::int64_t row = 0;

    bool operator==(const PersistentIdentifier&) const = default;
};

struct PersistentIdentifierHash {
    std::size_t operator()(const PersistentIdentifier& id) const {
        return std::hash<std::string>()(id.entity) ^ (std::hash<std::int64_t>()(id.row) << 1) ^
               (std::hash<std::uint64_t>()(id.store) << 2);
    }
};

}  // namespace vorela
