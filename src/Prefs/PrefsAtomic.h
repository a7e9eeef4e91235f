#pragma once

#include <mutex>
#include <utility>

namespace vorela::Prefs {

// A value behind a lock: each read, write or modification is atomic on its own, a
// sequence of them is not.
template <class Value>
class PrefsAtomic {
public:
    PrefsAtomic() = default;
    explicit PrefsAtomic(Value value) : value_(std::move(value)) {}

    Value get() const {
        std::lock_guard lock(mutex_);
        return value_;
    }
    void set(Value value) {
        std::lock_guard lock(mutex_);
        value_ = std::move(value);
    }
    // Runs the function on the value under the lock and returns its result.
    template <class F>
    decltype(auto) modify(F&& change) {
        std::lock_guard lock(mutex_);
        return std::forward<F>(change)(value_);
    }

private:
    mutable std::mutex mutex_;
    Value value_{};
};

}  // namespace vorela::Prefs
