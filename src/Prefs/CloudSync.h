#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "Prefs/AnyKey.h"

namespace vorela::Prefs {

// Keeps a key's entry in its suite and in a cloud key-value store in step. Linux builds
// have no cloud store, so the shared synchroniser does nothing unless one is installed.
// A key made with the cloud flag hands itself over after registering its default; the
// synchroniser may keep the reference (keys live for the whole process).
class CloudSync {
public:
    CloudSync() = default;
    virtual ~CloudSync() = default;
    CloudSync(const CloudSync&) = delete;
    CloudSync& operator=(const CloudSync&) = delete;
    CloudSync(CloudSync&&) = delete;
    CloudSync& operator=(CloudSync&&) = delete;

    // Hands each key over, in order.
    template <class... Keys>
    void add(const Keys&... keys) {
        (addKey(keys), ...);
    }

    virtual void addKey(const AnyKey& key) = 0;
    // Stops synchronising the keys; stored values and timestamps stay on both sides.
    virtual void remove(const std::vector<std::reference_wrapper<const AnyKey>>& keys) {
        (void)keys;
    }
    virtual void removeAll() {}
    virtual std::vector<AnyKey> keys() const { return {}; }
    // Calls `completion` once every synchronisation queued before the call has finished.
    virtual void waitForSyncCompletion(std::function<void()> completion) { completion(); }

    // Logs every step of the synchronisation at debug level.
    static inline std::atomic<bool> isDebug = false;
};

// The one shared synchroniser.
CloudSync& cloud();
// Installs another synchroniser (a fake in tests); returns the previous one.
std::shared_ptr<CloudSync> setCloud(std::shared_ptr<CloudSync> sync);

}  // namespace vorela::Prefs
