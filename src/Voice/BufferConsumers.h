#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "Platform/Audio/AudioBuffer.h"
#include "Platform/Audio/AudioFormat.h"
#include "Platform/Store/Uuid.h"

namespace vorela {

// The table of callbacks that receive every captured buffer, keyed by a UUID that each
// caller makes and keeps as its token. add() and remove() may be called from any thread;
// deliver() runs on the audio tap thread. The lock is held only while the table is read
// or edited, never while a consumer runs, so a consumer may take locks of its own and may
// add or remove consumers (itself included) from inside its call. A change made while a
// delivery runs takes effect from the next buffer.
class BufferConsumers final {
public:
    using Consumer =
        std::function<void(const std::shared_ptr<const AudioBuffer>&, const AudioTime&)>;

    BufferConsumers() = default;
    ~BufferConsumers() = default;
    BufferConsumers(const BufferConsumers&) = delete;
    BufferConsumers& operator=(const BufferConsumers&) = delete;
    BufferConsumers(BufferConsumers&&) = delete;
    BufferConsumers& operator=(BufferConsumers&&) = delete;

    // Replaces an existing entry under the same UUID.
    void add(Consumer consumer, const Uuid& id);
    // An unknown UUID is ignored.
    void remove(const Uuid& id);
    void deliver(const std::shared_ptr<const AudioBuffer>& buffer, const AudioTime& time) const;

    std::size_t count() const;
    bool contains(const Uuid& id) const;

private:
    using Snapshot = std::vector<std::shared_ptr<const Consumer>>;

    void rebuildSnapshot();

    mutable std::mutex lock_;
    std::map<Uuid, std::shared_ptr<const Consumer>> consumers_;
    // The copy delivery works from, rebuilt on every edit: taking it under the lock is one
    // reference-count increment, so a delivery allocates nothing.
    std::shared_ptr<const Snapshot> snapshot_ = std::make_shared<const Snapshot>();
};

}  // namespace vorela
