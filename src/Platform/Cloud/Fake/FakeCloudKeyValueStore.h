#pragma once

#include <cstddef>
#include <mutex>
#include <set>

#include "Platform/Cloud/CloudKeyValueStore.h"
#include "Platform/Foundation/LifetimeGuard.h"
#include "Platform/Loop/RunLoop.h"
#include "Platform/Observation/ObserverList.h"

namespace vorela {

// A cloud store that behaves like a remote one, on the run loop's clock: this device's
// copy changes at once; synchronize() uploads what changed after `latency`; a write made
// by another device reaches the service at once and this device after `latency`, with an
// external-change announcement. An upload that would take the service past its quota is
// rejected: the service keeps its old value, this device keeps its own, and a quota
// violation is announced. Any thread may call it; announcements run on the main thread.
class FakeCloudKeyValueStore final : public CloudKeyValueStore {
public:
    FakeCloudKeyValueStore(RunLoop& loop, double latencySeconds, std::size_t quotaBytes);
    ~FakeCloudKeyValueStore() override;
    FakeCloudKeyValueStore(const FakeCloudKeyValueStore&) = delete;
    FakeCloudKeyValueStore& operator=(const FakeCloudKeyValueStore&) = delete;
    FakeCloudKeyValueStore(FakeCloudKeyValueStore&&) = delete;
    FakeCloudKeyValueStore& operator=(FakeCloudKeyValueStore&&) = delete;

    std::optional<PropertyList> object(const std::string& key) const override;
    void set(const std::string& key, PropertyList value) override;
    void remove(const std::string& key) override;
    bool synchronize() override;
    [[nodiscard]] Subscription observeExternalChanges(ExternalChangeObserver observer) override;

    // --- test controls ---
    void writeFromAnotherDevice(const std::string& key, std::optional<PropertyList> value);
    std::optional<PropertyList> serviceObject(const std::string& key) const;
    int synchronizeCount() const;

private:
    void upload();
    std::size_t serviceBytesWith(const std::string& key, const std::optional<PropertyList>& value)
        const;  // with mutex_ held
    void announce(ExternalChange change);

    RunLoop& loop_;
    double latencySeconds_ = 0;
    std::size_t quotaBytes_ = 0;
    mutable std::mutex mutex_;
    PlistDictionary device_;                  // guarded by mutex_
    PlistDictionary service_;                 // guarded by mutex_
    std::set<std::string> pending_;           // guarded by mutex_: changed here, not yet uploaded
    int synchronizeCount_ = 0;                // guarded by mutex_
    ObserverList<ExternalChange> observers_;  // main thread
    std::vector<TimerHandle> timers_;         // main thread
    LifetimeGuard guard_;                     // last
};

}  // namespace vorela
