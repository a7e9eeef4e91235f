#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Defaults/PropertyList.h"
#include "Platform/Observation/Subscription.h"

namespace vorela {

// One change of a suite's entry as its observers see it: the stored objects and the
// values in force (stored, else registered), before and after. A prior notice is sent
// before the change and carries only the old sides.
struct SuiteChange {
    std::string key;
    std::optional<PropertyList> oldStored;
    std::optional<PropertyList> newStored;
    std::optional<PropertyList> oldValue;
    std::optional<PropertyList> newValue;
    bool isPrior = false;
};

// The observers of one suite, notified on the writing thread outside every lock, so an
// observer may read and write the suite. Cancelling an observation is safe while a change
// is being delivered to it on another thread: cancel() waits for that delivery to end, and
// nothing reaches the observer after cancel() returns. Cancelling from inside the
// observer's own delivery does not wait (it cannot).
class SuiteObservers {
public:
    using Callback = std::function<void(const SuiteChange&)>;

    SuiteObservers() = default;
    ~SuiteObservers() = default;
    SuiteObservers(const SuiteObservers&) = delete;
    SuiteObservers& operator=(const SuiteObservers&) = delete;
    SuiteObservers(SuiteObservers&&) = delete;
    SuiteObservers& operator=(SuiteObservers&&) = delete;

    // Without a key the observer sees every entry; prior notices only reach observers
    // that ask for them.
    [[nodiscard]] Subscription add(std::optional<std::string> key, bool wantsPrior,
                                   Callback callback);
    bool wantsPrior(const std::string& key) const;
    void notify(const SuiteChange& change) const;

private:
    struct Entry;
    using Entries = std::vector<std::shared_ptr<Entry>>;

    struct State {
        std::mutex mutex;
        std::shared_ptr<const Entries> entries = std::make_shared<Entries>();  // copied on write
    };

    static void cancel(const std::shared_ptr<Entry>& entry);
    std::shared_ptr<const Entries> snapshot() const;

    // Shared with the subscriptions, which may outlive the suite.
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace vorela
