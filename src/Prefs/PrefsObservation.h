#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Observation/Subscription.h"
#include "Prefs/AnyKey.h"
#include "Prefs/KeyChange.h"

namespace vorela::Prefs {

using ObservationCallback = std::function<void(const SuiteKeyPair&, const BaseChange&)>;

// Observes one entry of one suite (held weakly). The callback runs on the thread that
// wrote the entry, outside every lock, so it may write the suite itself; the initial
// value too is delivered after the observation's lock is released. Invalidating (or
// destroying) the observation waits for a delivery running on another thread, and
// nothing is delivered afterwards. Writes made inside withoutPropagation() on the same
// thread are not delivered.
class PrefsObservation {
public:
    PrefsObservation(const AnyKey& key, ObservationCallback callback);
    PrefsObservation(const std::shared_ptr<UserDefaults>& suite, std::string name,
                     ObservationCallback callback);
    ~PrefsObservation();
    PrefsObservation(const PrefsObservation&) = delete;
    PrefsObservation& operator=(const PrefsObservation&) = delete;
    PrefsObservation(PrefsObservation&&) = delete;
    PrefsObservation& operator=(PrefsObservation&&) = delete;

    // Does nothing when already observing, whatever the options. After invalidate() the
    // suite is forgotten and starting registers nothing.
    void start(ObservationOptions options);
    void invalidate();

    bool isObserving() const;
    const std::string& name() const { return name_; }
    std::shared_ptr<UserDefaults> suite() const;

private:
    using Shared = std::shared_ptr<const ObservationCallback>;
    static void deliver(const Shared& callback, const SuiteKeyPair& pair, const BaseChange& change);

    std::string name_;
    Shared callback_;
    mutable std::mutex mutex_;
    std::weak_ptr<UserDefaults> suite_;  // guarded by mutex_
    bool isObserving_ = false;           // guarded by mutex_
    Subscription registration_;          // guarded by mutex_
};

// Runs the function with this thread's key observations muted (nested calls keep the
// outer mute). Writes on other threads, and notifications arriving later, are delivered.
void withoutPropagation(const std::function<void()>& body);
bool isPropagationMuted();

}  // namespace vorela::Prefs
