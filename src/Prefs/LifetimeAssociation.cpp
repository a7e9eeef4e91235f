#include "Prefs/LifetimeAssociation.h"

#include <algorithm>

namespace vorela::Prefs {

struct LifetimeOwner::Tracker {
    std::mutex mutex;
    std::shared_ptr<void> object;
    std::function<void()> deinitHandler;  // guarded by mutex

    Tracker(std::shared_ptr<void> o, std::function<void()> h)
        : object(std::move(o)), deinitHandler(std::move(h)) {}
    ~Tracker() {
        std::function<void()> handler;
        {
            std::lock_guard lock(mutex);
            handler.swap(deinitHandler);
        }
        if (handler) handler();
        // `object` is released after the handler, as a member.
    }
    Tracker(const Tracker&) = delete;
    Tracker& operator=(const Tracker&) = delete;
    Tracker(Tracker&&) = delete;
    Tracker& operator=(Tracker&&) = delete;
};

LifetimeOwner::~LifetimeOwner() {
    std::vector<std::shared_ptr<Tracker>> ending;
    {
        std::lock_guard lock(state_->mutex);
        ending.swap(state_->trackers);
    }
    // Destroyed here, outside the lock: the handlers may touch other ties.
}

std::size_t LifetimeOwner::tieCount() const {
    std::lock_guard lock(state_->mutex);
    return state_->trackers.size();
}

LifetimeAssociation::LifetimeAssociation(std::shared_ptr<void> target, LifetimeOwner& owner,
                                         std::function<void()> deinitHandler) {
    auto tracker =
        std::make_shared<LifetimeOwner::Tracker>(std::move(target), std::move(deinitHandler));
    {
        std::lock_guard lock(owner.state_->mutex);
        owner.state_->trackers.push_back(tracker);
    }
    wrappedObject_ = tracker;
    owner_ = owner.state_;
}

LifetimeAssociation::~LifetimeAssociation() { invalidate(); }

void LifetimeAssociation::cancel() {
    if (auto tracker = wrappedObject_.lock()) {
        std::lock_guard lock(tracker->mutex);
        tracker->deinitHandler = nullptr;
    }
    invalidate();
}

void LifetimeAssociation::invalidate() {
    auto owner = owner_.lock();
    auto tracker = wrappedObject_.lock();
    if (!owner || !tracker) return;
    {
        std::lock_guard lock(owner->mutex);
        std::erase(owner->trackers, tracker);
    }
    owner_.reset();
    // The last reference to the tracker is released here, running its handler.
}

}  // namespace vorela::Prefs
