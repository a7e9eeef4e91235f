#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace vorela::Prefs {

// The ties other objects keep to an owner's lifetime. An owner embeds one (declared last,
// so it goes first); when it is destroyed every tie ends: each tied object's handler runs,
// then the tied object is released.
class LifetimeOwner {
public:
    LifetimeOwner() = default;
    ~LifetimeOwner();
    LifetimeOwner(const LifetimeOwner&) = delete;
    LifetimeOwner& operator=(const LifetimeOwner&) = delete;
    LifetimeOwner(LifetimeOwner&&) = delete;
    LifetimeOwner& operator=(LifetimeOwner&&) = delete;

    std::size_t tieCount() const;

private:
    friend class LifetimeAssociation;
    struct Tracker;
    struct State {
        mutable std::mutex mutex;
        std::vector<std::shared_ptr<Tracker>> trackers;  // guarded by mutex
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

// Keeps `target` alive for as long as `owner` lives, then calls the handler. Destroying
// the association ends the tie early (the handler runs then); cancel() ends it without
// the handler. Both sides may go in any order, on any thread.
class LifetimeAssociation {
public:
    LifetimeAssociation(std::shared_ptr<void> target, LifetimeOwner& owner,
                        std::function<void()> deinitHandler);
    ~LifetimeAssociation();
    LifetimeAssociation(const LifetimeAssociation&) = delete;
    LifetimeAssociation& operator=(const LifetimeAssociation&) = delete;
    LifetimeAssociation(LifetimeAssociation&&) = delete;
    LifetimeAssociation& operator=(LifetimeAssociation&&) = delete;

    void cancel();

private:
    void invalidate();

    std::weak_ptr<LifetimeOwner::Tracker> wrappedObject_;
    std::weak_ptr<LifetimeOwner::State> owner_;
};

}  // namespace vorela::Prefs
