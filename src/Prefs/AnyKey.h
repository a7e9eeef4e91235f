#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "Platform/Defaults/UserDefaults.h"

namespace vorela::Prefs {

// The untyped part of a preference key: the entry's name and the suite that holds it.
//
// A key made without a suite follows the standard suite: it resolves
// UserDefaults::standard() at every access, so a test that swaps the standard suite
// (UserDefaults::setStandard) between cases gets keys that use the new suite, and a
// typed key registers its default on each suite it is used with, the first time. A key
// made with an explicit suite keeps that suite.
//
// Two keys are equal when their names are equal and they resolve to the same suite
// object; two keys of different value types can therefore be equal. The hash of a key
// that follows the standard suite changes when the standard suite is replaced.
class AnyKey {
public:
    AnyKey(std::string name, std::shared_ptr<UserDefaults> suite);
    virtual ~AnyKey() = default;
    AnyKey(const AnyKey&) = default;
    AnyKey& operator=(const AnyKey&) = default;
    AnyKey(AnyKey&&) = default;
    AnyKey& operator=(AnyKey&&) = default;

    const std::string& name() const { return name_; }
    // The suite in use now (the standard suite's current object for a key that follows it).
    std::shared_ptr<UserDefaults> suite() const;
    bool followsStandardSuite() const { return !suite_; }

    // Removes the entry from the suite; the key then reads its registered default.
    void reset() const;

    // Whether the current value equals the default value; false for a value type that
    // has no equality (and for an untyped key).
    virtual bool isDefaultValue() const { return false; }

    bool operator==(const AnyKey& other) const;
    std::size_t hash() const;

private:
    std::string name_;
    std::shared_ptr<UserDefaults> suite_;  // empty: the standard suite, resolved per access
};

}  // namespace vorela::Prefs

template <>
struct std::hash<vorela::Prefs::AnyKey> {
    std::size_t operator()(const vorela::Prefs::AnyKey& key) const noexcept { return key.hash(); }
};
