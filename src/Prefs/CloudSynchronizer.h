#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Cloud/CloudKeyValueStore.h"
#include "Platform/Loop/RunLoop.h"
#include "Platform/Time/Date.h"
#include "Prefs/CloudSync.h"
#include "Prefs/Observation.h"
#include "Prefs/PrefsAtomic.h"
#include "Prefs/TaskQueue.h"

namespace vorela::Prefs {

// Keeps registered keys equal between their suite and a cloud key-value store, the most
// recent write winning. Each side keeps a timestamp per key: the cloud record of a key is
// the array [date, value] under its name; the local one is a date under the name followed
// by kTimestampSuffix. Synchronisations run one at a time on a task queue, each with the
// time it started as its timestamp; the local write of a pulled value runs on the main
// thread. Local changes are observed on the writing thread, external changes of the store
// on the main thread.
class CloudSynchronizer final : public CloudSync,
                                public std::enable_shared_from_this<CloudSynchronizer> {
public:
    enum class DataSource { local, remote };
    static constexpr const char* kTimestampSuffix = "__PREFS__synchronizeTimestamp";

    static std::shared_ptr<CloudSynchronizer> make(std::shared_ptr<CloudKeyValueStore> store,
                                                   RunLoop& mainLoop, TaskQueue::Dispatch dispatch);
    ~CloudSynchronizer() override;

    void addKey(const AnyKey& key) override;
    void remove(const std::vector<std::reference_wrapper<const AnyKey>>& keys) override;
    void removeAll() override;
    std::vector<AnyKey> keys() const override { return keys_.get(); }
    void waitForSyncCompletion(std::function<void()> completion) override;

    // Queues one synchronisation per key (no keys: every registered key) from the source
    // given, else from the side with the later timestamp; a key with none is skipped.
    void syncWithoutWaiting(const std::vector<AnyKey>& keys, std::optional<DataSource> source);
    std::optional<DataSource> latestDataSource(const AnyKey& key) const;

    CloudSynchronizer(std::shared_ptr<CloudKeyValueStore> store, RunLoop& mainLoop,
                      TaskQueue::Dispatch dispatch);  // use make()

private:
    using Operation = std::function<void(Date timestamp, TaskQueue::Done done)>;

    void start();
    void enqueue(Operation operation);
    void syncKey(const AnyKey& key, DataSource source, Date timestamp, TaskQueue::Done done);
    void syncFromLocal(const AnyKey& key, Date timestamp);
    void syncFromRemote(const AnyKey& key, Date timestamp, TaskQueue::Done done);
    void recordLocalTimestamp(const AnyKey& key, Date timestamp);
    void localChanged(const SuiteKeyPair& pair);
    void didChangeExternally(const CloudKeyValueStore::ExternalChange& change);
    std::optional<Date> remoteTimestamp(const AnyKey& key) const;
    std::optional<Date> localTimestamp(const AnyKey& key) const;
    std::shared_ptr<CompositePrefsObservation> localKeysMonitor();
    void log(const std::function<std::string()>& message) const;

    std::shared_ptr<CloudKeyValueStore> remoteStorage_;
    RunLoop& mainLoop_;
    TaskQueue backgroundQueue_;
    PrefsAtomic<std::vector<AnyKey>> keys_;
    PrefsAtomic<std::vector<AnyKey>> remoteSyncingKeys_;
    PrefsAtomic<std::shared_ptr<CompositePrefsObservation>> localKeysMonitor_;
    Subscription externalChanges_;  // last: ends before the fields its handler uses
};

}  // namespace vorela::Prefs
