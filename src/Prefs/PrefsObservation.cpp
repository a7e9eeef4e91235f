#include "Prefs/PrefsObservation.h"

#include <optional>

namespace vorela::Prefs {

namespace {

thread_local bool threadUpdatingValues = false;

}  // namespace

void withoutPropagation(const std::function<void()>& body) {
    const bool outer = std::exchange(threadUpdatingValues, true);
    body();
    threadUpdatingValues = outer;
}

bool isPropagationMuted() { return threadUpdatingValues; }

PrefsObservation::PrefsObservation(const AnyKey& key, ObservationCallback callback)
    : PrefsObservation(key.suite(), key.name(), std::move(callback)) {}

PrefsObservation::PrefsObservation(const std::shared_ptr<UserDefaults>& suite, std::string name,
                                   ObservationCallback callback)
    : name_(std::move(name)),
      callback_(std::make_shared<const ObservationCallback>(std::move(callback))),
      suite_(suite) {}

PrefsObservation::~PrefsObservation() { invalidate(); }

void PrefsObservation::start(ObservationOptions options) {
    std::optional<BaseChange> initial;
    std::shared_ptr<UserDefaults> suite;
    {
        std::lock_guard lock(mutex_);
        if (isObserving_) return;
        isObserving_ = true;
        suite = suite_.lock();
        if (!suite) return;
        // A prior notice is only asked for without the initial value.
        const bool wantsPrior = options.prior && !options.initial;
        std::weak_ptr<UserDefaults> weakSuite = suite;
        registration_ = suite->observeValue(
            name_, wantsPrior,
            [callback = callback_, weakSuite, name = name_](const SuiteChange& c) {
                BaseChange change;
                change.isPrior = c.isPrior;
                change.oldValue = c.oldValue;
                if (!c.isPrior) change.newValue = c.newValue;
                deliver(callback, SuiteKeyPair{weakSuite, name}, change);
            });
        if (options.initial) initial.emplace();
    }
    // Outside the lock: an observer that writes the suite, or starts and invalidates
    // observations, must not find it held.
    if (initial) {
        initial->newValue = suite->object(name_);
        deliver(callback_, SuiteKeyPair{suite, name_}, *initial);
    }
}

void PrefsObservation::invalidate() {
    Subscription registration;
    {
        std::lock_guard lock(mutex_);
        if (!isObserving_) return;
        isObserving_ = false;
        suite_.reset();
        registration = std::move(registration_);
    }
    registration.cancel();
}

bool PrefsObservation::isObserving() const {
    std::lock_guard lock(mutex_);
    return isObserving_;
}

std::shared_ptr<UserDefaults> PrefsObservation::suite() const {
    std::lock_guard lock(mutex_);
    return suite_.lock();
}

void PrefsObservation::deliver(const Shared& callback, const SuiteKeyPair& pair,
                               const BaseChange& change) {
    if (threadUpdatingValues) return;
    (*callback)(pair, change);
}

}  // namespace vorela::Prefs
