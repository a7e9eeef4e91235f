#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "Platform/Observation/Subscription.h"

namespace vorela {

// Callbacks registered on one thread (the main thread) and notified in registration
// order. An observer may unsubscribe itself or others, or subscribe new ones, while a
// notification runs: removed observers are not called again, added ones wait for the
// next notification. Subscriptions may outlive the list.
template <class... Args>
class ObserverList {
public:
    using Callback = std::function<void(const Args&...)>;

    [[nodiscard]] Subscription add(Callback callback) {
        auto entry = std::make_shared<Entry>(Entry{std::move(callback), true});
        entries_->push_back(entry);
        std::weak_ptr<std::vector<std::shared_ptr<Entry>>> weakEntries = entries_;
        std::weak_ptr<Entry> weakEntry = entry;
        return Subscription([weakEntries, weakEntry] {
            auto e = weakEntry.lock();
            if (!e) return;
            e->active = false;
            if (auto list = weakEntries.lock()) std::erase(*list, e);
        });
    }

    void notify(const Args&... args) const {
        const auto snapshot = *entries_;
        for (const auto& e : snapshot) {
            if (e->active) e->callback(args...);
        }
    }

    bool empty() const { return entries_->empty(); }
    std::size_t size() const { return entries_->size(); }

private:
    struct Entry {
        Callback callback;
        bool active = true;
    };
    std::shared_ptr<std::vector<std::shared_ptr<Entry>>> entries_ =
        std::make_shared<std::vector<std::shared_ptr<Entry>>>();
};

}  // namespace vorela
