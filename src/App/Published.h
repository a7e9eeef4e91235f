#pragma once

#include <utility>

#include "Platform/Observation/Observable.h"

namespace vorela {

class AppState;

// A field of the central state that everyone may read and observe and only the state's
// own types write. Storing an equal value notifies nobody. Main thread only.
template <class T>
class Published {
public:
    Published() = default;
    explicit Published(T initial) : value_(std::move(initial)) {}

    const T& get() const { return value_.get(); }
    const T& operator()() const { return value_.get(); }

    [[nodiscard]] Subscription observe(typename ObserverList<T>::Callback callback) const {
        return value_.observe(std::move(callback));
    }

private:
    friend class AppState;

    bool set(T value) { return value_.set(std::move(value)); }

    // Observing does not change the value, so a const field may still be observed.
    mutable Observable<T> value_;
};

}  // namespace vorela
