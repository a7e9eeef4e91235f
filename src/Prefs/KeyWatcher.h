#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "Prefs/Observable.h"

namespace vorela::Prefs {

// Calls back after every change of any of several keys, whoever wrote them, on the main
// run loop. Watching ends when the watcher goes. Main thread only.
class KeyWatcher {
public:
    explicit KeyWatcher(RunLoop& loop) : loop_(loop) {}

    template <Serializable T>
    void watch(const Key<T>& key, std::function<void()> onChange) {
        auto observable = std::make_shared<Observable<T>>(loop_, key);
        changes_.push_back(observable->onChange(std::move(onChange)));
        observables_.push_back(std::move(observable));
    }

private:
    RunLoop& loop_;
    std::vector<std::shared_ptr<void>> observables_;
    std::vector<Subscription> changes_;  // last: they end before what they observe
};

}  // namespace vorela::Prefs
