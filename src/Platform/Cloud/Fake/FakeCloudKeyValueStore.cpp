#include "Platform/Cloud/Fake/FakeCloudKeyValueStore.h"

#include "Platform/Defaults/PlistXml.h"

namespace vorela {

FakeCloudKeyValueStore::FakeCloudKeyValueStore(RunLoop& loop, double latencySeconds,
                                               std::size_t quotaBytes)
    : loop_(loop), latencySeconds_(latencySeconds), quotaBytes_(quotaBytes) {}

FakeCloudKeyValueStore::~FakeCloudKeyValueStore() = default;

std::optional<PropertyList> FakeCloudKeyValueStore::object(const std::string& key) const {
    std::lock_guard lock(mutex_);
    if (auto it = device_.find(key); it != device_.end()) return it->second;
    return std::nullopt;
}

void FakeCloudKeyValueStore::set(const std::string& key, PropertyList value) {
    std::lock_guard lock(mutex_);
    if (value.isNull()) {
        device_.erase(key);
    } else {
        device_.insert_or_assign(key, std::move(value));
    }
    pending_.insert(key);
}

void FakeCloudKeyValueStore::remove(const std::string& key) { set(key, PropertyList()); }

bool FakeCloudKeyValueStore::synchronize() {
    {
        std::lock_guard lock(mutex_);
        ++synchronizeCount_;
    }
    // Timers belong to the main thread; the request may come from any.
    loop_.post(guard_.bind(
        [this] { timers_.push_back(loop_.schedule(latencySeconds_, [this] { upload(); })); }));
    return true;
}

Subscription FakeCloudKeyValueStore::observeExternalChanges(ExternalChangeObserver observer) {
    return observers_.add(std::move(observer));
}

void FakeCloudKeyValueStore::writeFromAnotherDevice(const std::string& key,
                                                    std::optional<PropertyList> value) {
    {
        std::lock_guard lock(mutex_);
        if (value) {
            service_.insert_or_assign(key, *value);
        } else {
            service_.erase(key);
        }
    }
    timers_.push_back(loop_.schedule(latencySeconds_, [this, key, value] {
        {
            std::lock_guard lock(mutex_);
            if (value) {
                device_.insert_or_assign(key, *value);
            } else {
                device_.erase(key);
            }
        }
        announce({ChangeReason::serverChange, std::vector<std::string>{key}});
    }));
}

std::optional<PropertyList> FakeCloudKeyValueStore::serviceObject(const std::string& key) const {
    std::lock_guard lock(mutex_);
    if (auto it = service_.find(key); it != service_.end()) return it->second;
    return std::nullopt;
}

int FakeCloudKeyValueStore::synchronizeCount() const {
    std::lock_guard lock(mutex_);
    return synchronizeCount_;
}

void FakeCloudKeyValueStore::upload() {
    bool rejected = false;
    {
        std::lock_guard lock(mutex_);
        for (const auto& key : pending_) {
            std::optional<PropertyList> value;
            if (auto it = device_.find(key); it != device_.end()) value = it->second;
            if (value && serviceBytesWith(key, value) > quotaBytes_) {
                rejected = true;
                continue;
            }
            if (value) {
                service_.insert_or_assign(key, *value);
            } else {
                service_.erase(key);
            }
        }
        pending_.clear();
    }
    if (rejected) announce({ChangeReason::quotaViolationChange, std::nullopt});
}

std::size_t FakeCloudKeyValueStore::serviceBytesWith(
    const std::string& key, const std::optional<PropertyList>& value) const {
    std::size_t bytes = 0;
    for (const auto& [k, v] : service_) {
        if (k != key) bytes += k.size() + PlistXml::write(v).size();
    }
    if (value) bytes += key.size() + PlistXml::write(*value).size();
    return bytes;
}

void FakeCloudKeyValueStore::announce(ExternalChange change) { observers_.notify(change); }

}  // namespace vorela
