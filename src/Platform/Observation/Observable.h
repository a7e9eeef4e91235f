#pragma once

#include <utility>

#include "Platform/Observation/ObserverList.h"

namespace vorela {

// A stored value that tells its observers when it changes. Storing a value equal to the
// current one notifies nobody. Main thread only.
template <class T>
class Observable {
public:
    Observable() = default;
    explicit Observable(T initial) : value_(std::move(initial)) {}

    const T& get() const { return value_; }
    const T& operator()() const { return value_; }

    // Returns whether the value changed.
    bool set(T value) {
        if (value_ == value) return false;
        value_ = std::move(value);
        observers_.notify(value_);
        return true;
    }

    [[nodiscard]] Subscription observe(typename ObserverList<T>::Callback callback) {
        return observers_.add(std::move(callback));
    }

private:
    T value_{};
    ObserverList<T> observers_;
};

}  // namespace vorela
