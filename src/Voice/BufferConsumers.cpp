#include "Voice/BufferConsumers.h"

namespace vorela {

void BufferConsumers::add(Consumer consumer, const Uuid& id) {
    auto shared = std::make_shared<const Consumer>(std::move(consumer));
    std::shared_ptr<const Snapshot> old;
    std::lock_guard guard(lock_);
    consumers_[id] = std::move(shared);
    old = snapshot_;
    rebuildSnapshot();
}

void BufferConsumers::remove(const Uuid& id) {
    // The replaced callback is released after the lock, since its captures may take
    // locks of their own when they are destroyed.
    std::shared_ptr<const Consumer> removed;
    std::shared_ptr<const Snapshot> old;
    std::lock_guard guard(lock_);
    auto it = consumers_.find(id);
    if (it == consumers_.end()) return;
    removed = std::move(it->second);
    consumers_.erase(it);
    old = snapshot_;
    rebuildSnapshot();
}

void BufferConsumers::rebuildSnapshot() {
    auto next = std::make_shared<Snapshot>();
    next->reserve(consumers_.size());
    for (const auto& [id, consumer] : consumers_) next->push_back(consumer);
    snapshot_ = std::move(next);
}

void BufferConsumers::deliver(const std::shared_ptr<const AudioBuffer>& buffer,
                              const AudioTime& time) const {
    std::shared_ptr<const Snapshot> current;
    {
        std::lock_guard guard(lock_);
        current = snapshot_;
    }
    for (const auto& consumer : *current) (*consumer)(buffer, time);
}

std::size_t BufferConsumers::count() const {
    std::lock_guard guard(lock_);
    return consumers_.size();
}

bool BufferConsumers::contains(const Uuid& id) const {
    std::lock_guard guard(lock_);
    return consumers_.count(id) > 0;
}

}  // namespace vorela
