#include "Platform/Observation/NotificationCenter.h"

#include <algorithm>
#include <utility>

#include "Platform/Loop/RunLoop.h"

namespace vorela {

NotificationCenter::NotificationCenter(RunLoop& loop) : loop_(loop) {}

NotificationCenter::~NotificationCenter() = default;

void NotificationCenter::post(std::string_view name, NotificationUserInfo userInfo) {
    Notification notification{std::string(name), std::move(userInfo)};
    if (loop_.isMainThread()) {
        deliver(notification);
        return;
    }
    loop_.post(
        guard_.bind([this, notification = std::move(notification)] { deliver(notification); }));
}

Subscription NotificationCenter::observe(std::string_view name, Observer observer) {
    auto entry = std::make_shared<Entry>(Entry{std::string(name), std::move(observer), true});
    entries_->push_back(entry);
    std::weak_ptr<Entries> weakEntries = entries_;
    std::weak_ptr<Entry> weakEntry = entry;
    return Subscription([weakEntries, weakEntry] {
        const auto e = weakEntry.lock();
        if (!e) return;
        e->isActive = false;
        if (const auto list = weakEntries.lock()) std::erase(*list, e);
    });
}

void NotificationCenter::deliver(const Notification& notification) {
    const Entries snapshot = *entries_;
    for (const auto& entry : snapshot) {
        if (entry->isActive && entry->name == notification.name) entry->observer(notification);
    }
}

}  // namespace vorela
