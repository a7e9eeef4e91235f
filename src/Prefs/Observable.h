#pragma once

#include <functional>
#include <utility>

#include "Platform/Loop/RunLoop.h"
#include "Platform/Observation/ObserverList.h"
#include "Prefs/Key.h"
#include "Prefs/Updates.h"

namespace vorela::Prefs {

// One key as a view sees it: its value is read from and written to the store each time
// (nothing is cached), and onChange() observers run on the main run loop after every
// later change of the stored value, whoever made it. Main thread only.
template <Serializable T>
class Observable {
public:
    Observable(RunLoop& loop, Key<T> key) : loop_(loop), key_(std::move(key)) { observe(); }

    const Key<T>& key() const { return key_; }
    // Re-targets the observation when the key names another entry or suite.
    void setKey(Key<T> key) {
        if (key == key_) return;
        key_ = std::move(key);
        observe();
    }

    T value() const { return key_.value(); }
    void setValue(const T& value) const { key_.setValue(value); }
    T defaultValue() const { return key_.defaultValue(); }
    bool isDefaultValue() const { return key_.isDefaultValue(); }
    void reset() const { key_.reset(); }

    [[nodiscard]] Subscription onChange(std::function<void()> observer) {
        return changed_.add([observer = std::move(observer)] { observer(); });
    }

private:
    void observe() {
        task_ = updates(key_, false).forEach(loop_, [this](const T&) { changed_.notify(); });
    }

    RunLoop& loop_;
    Key<T> key_;
    ObserverList<> changed_;
    Subscription task_;  // last: ends the stream before the list it notifies
};

// A two-way view of a value: read and write through functions.
template <class T>
struct Binding {
    std::function<T()> get;
    std::function<void(const T&)> set;

    // Shows the negation and stores the negation of what is written.
    Binding<bool> toggled() const requires std::same_as<T, bool> {
        return {[get = get] { return !get(); }, [set = set](const bool& v) { set(!v); }};
    }
};

template <Serializable T>
Binding<T> binding(const Observable<T>& observable) {
    return {[&observable] { return observable.value(); },
            [&observable](const T& v) { observable.setValue(v); }};
}

}  // namespace vorela::Prefs
