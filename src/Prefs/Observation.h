#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "Prefs/Key.h"
#include "Prefs/LifetimeAssociation.h"
#include "Prefs/PrefsObservation.h"

namespace vorela::Prefs {

// What observe() returns. Destroying the last reference invalidates the observation,
// unless it is tied to an owner's lifetime: then the owner keeps it delivering until the
// owner goes (or the tie is removed).
class KeyObservation : public std::enable_shared_from_this<KeyObservation> {
public:
    KeyObservation() = default;
    virtual ~KeyObservation() = default;
    KeyObservation(const KeyObservation&) = delete;
    KeyObservation& operator=(const KeyObservation&) = delete;
    KeyObservation(KeyObservation&&) = delete;
    KeyObservation& operator=(KeyObservation&&) = delete;

    virtual void invalidate() = 0;
    std::shared_ptr<KeyObservation> tieToLifetime(LifetimeOwner& owner);
    void removeLifetimeTie();

private:
    std::mutex tieMutex_;
    std::unique_ptr<LifetimeAssociation> lifetimeAssociation_;  // guarded by tieMutex_
};

class PrefsObservationWithLifeTime final : public KeyObservation {
public:
    explicit PrefsObservationWithLifeTime(std::unique_ptr<PrefsObservation> observation)
        : observation_(std::move(observation)) {}
    ~PrefsObservationWithLifeTime() override { invalidate(); }
    PrefsObservationWithLifeTime(const PrefsObservationWithLifeTime&) = delete;
    PrefsObservationWithLifeTime& operator=(const PrefsObservationWithLifeTime&) = delete;
    PrefsObservationWithLifeTime(PrefsObservationWithLifeTime&&) = delete;
    PrefsObservationWithLifeTime& operator=(PrefsObservationWithLifeTime&&) = delete;

    PrefsObservation& observation() { return *observation_; }
    void invalidate() override;

private:
    std::unique_ptr<PrefsObservation> observation_;
};

// Several entries with one callback. Members may be added and removed while it runs.
class CompositePrefsObservation final : public KeyObservation {
public:
    explicit CompositePrefsObservation(ObservationCallback callback)
        : callback_(std::move(callback)) {}
    ~CompositePrefsObservation() override { invalidate(); }
    CompositePrefsObservation(const CompositePrefsObservation&) = delete;
    CompositePrefsObservation& operator=(const CompositePrefsObservation&) = delete;
    CompositePrefsObservation(CompositePrefsObservation&&) = delete;
    CompositePrefsObservation& operator=(CompositePrefsObservation&&) = delete;

    // Adds a member for the key and starts it at once, without initial or prior notices.
    void add(const AnyKey& key);
    // Takes out and invalidates the members observing the key's entry.
    void remove(const AnyKey& key);
    void start(ObservationOptions options);
    void invalidate() override;
    std::size_t count() const;

private:
    ObservationCallback callback_;
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<PrefsObservation>> observations_;  // guarded by mutex_
};

// Observes one typed key; each change is converted with the key's default as read then.
template <Serializable T, class Handler>
std::shared_ptr<PrefsObservationWithLifeTime> observe(const Key<T>& key, ObservationOptions options,
                                                      Handler handler) {
    auto observation = std::make_unique<PrefsObservation>(
        key, [key, handler = std::move(handler)](const SuiteKeyPair&, const BaseChange& change) {
            handler(KeyChange<T>(change, key.defaultValue()));
        });
    observation->start(options);
    return std::make_shared<PrefsObservationWithLifeTime>(std::move(observation));
}

// Observes several keys with a handler called once per later change of any of them
// (never at once, never before a change, whatever the options).
std::shared_ptr<CompositePrefsObservation> observe(
    const std::vector<std::reference_wrapper<const AnyKey>>& keys, ObservationOptions options,
    std::function<void()> handler);

}  // namespace vorela::Prefs
