#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Defaults/UserDefaults.h"
#include "Prefs/Bridge.h"

namespace vorela::Prefs {

// When an observation notifies: at once with the current value (initial, which takes
// precedence) and before each change (prior), besides after each change.
enum class ObservationOption { initial, prior };

struct ObservationOptions {
    bool initial = false;
    bool prior = false;

    static ObservationOptions none() { return {}; }
    static ObservationOptions of(std::initializer_list<ObservationOption> list) {
        ObservationOptions o;
        for (auto option : list)
            (option == ObservationOption::initial ? o.initial : o.prior) = true;
        return o;
    }
};

// The suite and entry name a change came from; the suite is held weakly.
struct SuiteKeyPair {
    std::weak_ptr<UserDefaults> suite;
    std::string key;

    bool operator==(const SuiteKeyPair& other) const {
        const auto a = suite.lock();
        const auto b = other.suite.lock();
        return key == other.key && a == b;
    }
};

// A suite entry's value only ever changes as a whole.
enum class ChangeKind { setting, insertion, removal, replacement };

// A change as the suite reported it: the values in force, nothing where absent. A prior
// notice carries no new value.
struct BaseChange {
    ChangeKind kind = ChangeKind::setting;
    std::optional<std::vector<std::size_t>> indexes;
    bool isPrior = false;
    std::optional<PropertyList> newValue;
    std::optional<PropertyList> oldValue;
};

// A change converted to the key's value type; a missing value or one that does not
// convert reads as the default given.
template <Serializable T>
struct KeyChange {
    ChangeKind kind = ChangeKind::setting;
    std::optional<std::vector<std::size_t>> indexes;
    bool isPrior = false;
    T newValue;
    T oldValue;

    KeyChange(const BaseChange& change, const T& defaultValue)
        : kind(change.kind),
          indexes(change.indexes),
          isPrior(change.isPrior),
          newValue(convert(change.newValue, defaultValue)),
          oldValue(convert(change.oldValue, defaultValue)) {}

    bool operator==(const KeyChange&) const = default;

private:
    static T convert(const std::optional<PropertyList>& object, const T& defaultValue) {
        if (!object || object->isNull()) return defaultValue;
        if (auto value = toValue<T>(*object)) return std::move(*value);
        return defaultValue;
    }
};

}  // namespace vorela::Prefs
