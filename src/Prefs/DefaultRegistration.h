#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Platform/Defaults/UserDefaults.h"

namespace vorela::Prefs {

// A key's converted default and the suites it has been registered on. Registered
// defaults live for the process only and belong to one suite, so a key that moves to
// another suite (the standard suite replaced) registers again there, once.
class DefaultRegistration {
public:
    DefaultRegistration(std::string name, PropertyList object)
        : name_(std::move(name)), object_(std::move(object)) {}
    ~DefaultRegistration() = default;
    DefaultRegistration(const DefaultRegistration&) = delete;
    DefaultRegistration& operator=(const DefaultRegistration&) = delete;
    DefaultRegistration(DefaultRegistration&&) = delete;
    DefaultRegistration& operator=(DefaultRegistration&&) = delete;

    // Registers the default on the suite unless that was done already. Thread-safe.
    void ensureRegistered(const std::shared_ptr<UserDefaults>& suite);

private:
    std::string name_;
    PropertyList object_;
    std::mutex mutex_;
    std::vector<std::weak_ptr<UserDefaults>> suites_;  // guarded by mutex_
    const UserDefaults* lastSuite_ = nullptr;          // guarded by mutex_; fast path
    std::weak_ptr<UserDefaults> lastSuiteRef_;         // keeps lastSuite_ honest
};

}  // namespace vorela::Prefs
