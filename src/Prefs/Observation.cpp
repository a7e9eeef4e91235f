#include "Prefs/Observation.h"

namespace vorela::Prefs {

std::shared_ptr<KeyObservation> KeyObservation::tieToLifetime(LifetimeOwner& owner) {
    std::weak_ptr<KeyObservation> weak = weak_from_this();
    auto tie = std::make_unique<LifetimeAssociation>(shared_from_this(), owner, [weak] {
        if (auto self = weak.lock()) self->invalidate();
    });
    std::unique_ptr<LifetimeAssociation> previous;
    {
        std::lock_guard lock(tieMutex_);
        previous = std::exchange(lifetimeAssociation_, std::move(tie));
    }
    if (previous) previous->cancel();
    return shared_from_this();
}

void KeyObservation::removeLifetimeTie() {
    std::unique_ptr<LifetimeAssociation> tie;
    {
        std::lock_guard lock(tieMutex_);
        tie = std::move(lifetimeAssociation_);
    }
    if (tie) tie->cancel();
}

void PrefsObservationWithLifeTime::invalidate() {
    observation_->invalidate();
    removeLifetimeTie();
}

void CompositePrefsObservation::add(const AnyKey& key) {
    auto member = std::make_shared<PrefsObservation>(key, callback_);
    {
        std::lock_guard lock(mutex_);
        observations_.push_back(member);
    }
    member->start(ObservationOptions::none());
}

void CompositePrefsObservation::remove(const AnyKey& key) {
    std::vector<std::shared_ptr<PrefsObservation>> removed;
    const auto suite = key.suite();
    {
        std::lock_guard lock(mutex_);
        std::erase_if(observations_, [&](const auto& member) {
            if (member->name() != key.name() || member->suite() != suite) return false;
            removed.push_back(member);
            return true;
        });
    }
    for (const auto& member : removed) member->invalidate();
}

void CompositePrefsObservation::start(ObservationOptions options) {
    std::vector<std::shared_ptr<PrefsObservation>> members;
    {
        std::lock_guard lock(mutex_);
        members = observations_;
    }
    for (const auto& member : members) member->start(options);
}

void CompositePrefsObservation::invalidate() {
    std::vector<std::shared_ptr<PrefsObservation>> members;
    {
        std::lock_guard lock(mutex_);
        members = observations_;
    }
    for (const auto& member : members) member->invalidate();
    removeLifetimeTie();
}

std::size_t CompositePrefsObservation::count() const {
    std::lock_guard lock(mutex_);
    return observations_.size();
}

std::shared_ptr<CompositePrefsObservation> observe(
    const std::vector<std::reference_wrapper<const AnyKey>>& keys, ObservationOptions options,
    std::function<void()> handler) {
    auto composite = std::make_shared<CompositePrefsObservation>(
        [handler = std::move(handler)](const SuiteKeyPair&, const BaseChange&) { handler(); });
    for (const AnyKey& key : keys) composite->add(key);
    composite->start(options);
    return composite;
}

}  // namespace vorela::Prefs
