#include "Prefs/CloudSynchronizer.h"

#include <algorithm>

#include "Platform/Defaults/PlistXml.h"
#include "Platform/Log/Log.h"

namespace vorela::Prefs {

namespace {

// Bound while a queued synchronisation runs on this thread: an external change announced
// from inside one (during its synchronize()) is its own echo.
thread_local std::optional<Date> currentTimestamp;

const char* sourceText(CloudSynchronizer::DataSource source) {
    return source == CloudSynchronizer::DataSource::local ? "from local" : "from remote";
}

std::string describe(const std::optional<PropertyList>& object) {
    if (!object) return "nil";
    std::string text = PlistXml::write(*object);
    std::erase(text, '\n');
    std::erase(text, '\t');
    return text;
}

bool contains(const std::vector<AnyKey>& keys, const AnyKey& key) {
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

}  // namespace

std::shared_ptr<CloudSynchronizer> CloudSynchronizer::make(
    std::shared_ptr<CloudKeyValueStore> store, RunLoop& mainLoop, TaskQueue::Dispatch dispatch) {
    auto synchronizer =
        std::make_shared<CloudSynchronizer>(std::move(store), mainLoop, std::move(dispatch));
    synchronizer->start();
    return synchronizer;
}

CloudSynchronizer::CloudSynchronizer(std::shared_ptr<CloudKeyValueStore> store, RunLoop& mainLoop,
                                     TaskQueue::Dispatch dispatch)
    : remoteStorage_(std::move(store)),
      mainLoop_(mainLoop),
      backgroundQueue_(std::move(dispatch)) {}

CloudSynchronizer::~CloudSynchronizer() { removeAll(); }

void CloudSynchronizer::start() {
    std::weak_ptr<CloudSynchronizer> weak = weak_from_this();
    externalChanges_ = remoteStorage_->observeExternalChanges([weak](const auto& change) {
        if (auto self = weak.lock()) self->didChangeExternally(change);
    });
    remoteStorage_->synchronize();
}

void CloudSynchronizer::addKey(const AnyKey& key) {
    const bool inserted = keys_.modify([&](std::vector<AnyKey>& keys) {
        if (contains(keys, key)) return false;
        keys.push_back(key);
        return true;
    });
    if (!inserted) return;
    localKeysMonitor()->add(key);
    if (!key.isDefaultValue()) {
        syncWithoutWaiting({key}, std::nullopt);
    } else if (latestDataSource(key) == DataSource::remote) {
        syncWithoutWaiting({key}, DataSource::remote);
    }
}

void CloudSynchronizer::remove(const std::vector<std::reference_wrapper<const AnyKey>>& keys) {
    keys_.modify([&](std::vector<AnyKey>& registered) {
        for (const AnyKey& key : keys) std::erase(registered, key);
    });
    auto monitor = localKeysMonitor_.get();
    if (!monitor) return;
    for (const AnyKey& key : keys) monitor->remove(key);
}

void CloudSynchronizer::removeAll() {
    auto monitor = localKeysMonitor_.modify([](auto& m) { return std::exchange(m, nullptr); });
    if (monitor) monitor->invalidate();
    keys_.set({});
    remoteSyncingKeys_.set({});
}

void CloudSynchronizer::waitForSyncCompletion(std::function<void()> completion) {
    backgroundQueue_.flush(std::move(completion));
}

void CloudSynchronizer::syncWithoutWaiting(const std::vector<AnyKey>& keys,
                                           std::optional<DataSource> source) {
    for (const auto& key : keys.empty() ? keys_.get() : keys) {
        const auto from = source ? source : latestDataSource(key);
        if (!from) {
            log([&] { return "Aborting key '" + key.name() + "' "; });
            continue;
        }
        enqueue([weak = weak_from_this(), key, from = *from](Date timestamp, auto done) {
            if (auto self = weak.lock()) {
                self->syncKey(key, from, timestamp, std::move(done));
            } else {
                done();
            }
        });
    }
}

std::optional<CloudSynchronizer::DataSource> CloudSynchronizer::latestDataSource(
    const AnyKey& key) const {
    const auto remote = remoteTimestamp(key);
    const auto local = localTimestamp(key);
    if (remote && local) return *local > *remote ? DataSource::local : DataSource::remote;
    if (remote) return DataSource::remote;
    if (local) return DataSource::local;
    return std::nullopt;
}

void CloudSynchronizer::enqueue(Operation operation) {
    backgroundQueue_.submit([this, operation = std::move(operation)](TaskQueue::Done done) {
        const Date timestamp = mainLoop_.clock().now();
        currentTimestamp = timestamp;
        operation(timestamp, std::move(done));
        currentTimestamp.reset();
    });
}

void CloudSynchronizer::syncKey(const AnyKey& key, DataSource source, Date timestamp,
                                TaskQueue::Done done) {
    log([&] { return "Try synchronizing key '" + key.name() + "' " + sourceText(source); });
    auto complete = [this, key, source, done = std::move(done)] {
        log([&] {
            return "Complete synchronization key '" + key.name() + "' " + sourceText(source);
        });
        done();
    };
    if (source == DataSource::local) {
        syncFromLocal(key, timestamp);
        complete();
    } else {
        syncFromRemote(key, timestamp, std::move(complete));
    }
}

void CloudSynchronizer::syncFromLocal(const AnyKey& key, Date timestamp) {
    const auto object = key.suite()->object(key.name());
    log([&] {
        return "Synchronizing key '" + key.name() + "' with value " + describe(object) +
               " from local";
    });
    if (object) {
        remoteStorage_->set(key.name(), PropertyList(PlistArray{PropertyList(timestamp), *object}));
    } else {
        remoteStorage_->remove(key.name());
    }
    remoteStorage_->synchronize();
}

void CloudSynchronizer::syncFromRemote(const AnyKey& key, Date timestamp, TaskQueue::Done done) {
    remoteSyncingKeys_.modify([&](auto& keys) { keys.push_back(key); });
    auto finished = [this, key, done = std::move(done)] {
        remoteSyncingKeys_.modify([&](auto& keys) {
            if (auto it = std::find(keys.begin(), keys.end(), key); it != keys.end())
                keys.erase(it);
        });
        done();
    };
    const auto record = remoteStorage_->object(key.name());
    const PlistArray* array = record ? record->array() : nullptr;
    if (!array || array->size() < 2) {
        finished();
        return;
    }
    mainLoop_.post([this, weak = weak_from_this(), key, value = (*array)[1], timestamp,
                    finished = std::move(finished)] {
        if (weak.expired()) return;
        log([&] {
            return "Synchronizing key '" + key.name() + "' with value " + describe(value) +
                   " from remote";
        });
        const auto suite = key.suite();
        suite->set(key.name(), value);
        suite->set(key.name() + kTimestampSuffix, PropertyList(timestamp));
        finished();
    });
}

void CloudSynchronizer::recordLocalTimestamp(const AnyKey& key, Date timestamp) {
    key.suite()->set(key.name() + kTimestampSuffix, PropertyList(timestamp));
}

void CloudSynchronizer::localChanged(const SuiteKeyPair& pair) {
    const auto suite = pair.suite.lock();
    if (!suite) return;
    const auto keys = keys_.get();
    const auto it = std::find_if(keys.begin(), keys.end(), [&](const AnyKey& k) {
        return k.name() == pair.key && k.suite() == suite;
    });
    if (it == keys.end()) return;
    // The local write of a pulled value must not travel back.
    if (contains(remoteSyncingKeys_.get(), *it)) return;
    enqueue([weak = weak_from_this(), key = *it](Date timestamp, auto done) {
        auto self = weak.lock();
        if (!self) return done();
        self->recordLocalTimestamp(key, timestamp);
        self->syncKey(key, DataSource::local, timestamp, std::move(done));
    });
}

void CloudSynchronizer::didChangeExternally(const CloudKeyValueStore::ExternalChange& change) {
    if (!change.changedKeys) {
        log([] { return std::string("External change without keys ignored"); });
        return;
    }
    if (currentTimestamp) return;
    for (const auto& key : keys_.get()) {
        const auto& names = *change.changedKeys;
        if (std::find(names.begin(), names.end(), key.name()) == names.end()) continue;
        const auto remote = remoteTimestamp(key);
        if (!remote) continue;
        if (const auto local = localTimestamp(key); local && *local >= *remote) continue;
        syncWithoutWaiting({key}, DataSource::remote);
    }
}

std::optional<Date> CloudSynchronizer::remoteTimestamp(const AnyKey& key) const {
    const auto record = remoteStorage_->object(key.name());
    const PlistArray* array = record ? record->array() : nullptr;
    if (!array || array->empty() || !(*array)[0].date()) return std::nullopt;
    return *(*array)[0].date();
}

std::optional<Date> CloudSynchronizer::localTimestamp(const AnyKey& key) const {
    const auto object = key.suite()->object(key.name() + kTimestampSuffix);
    if (!object || !object->date()) return std::nullopt;
    return *object->date();
}

std::shared_ptr<CompositePrefsObservation> CloudSynchronizer::localKeysMonitor() {
    return localKeysMonitor_.modify([this](auto& monitor) {
        if (!monitor) {
            monitor = std::make_shared<CompositePrefsObservation>(
                [weak = weak_from_this()](const SuiteKeyPair& pair, const BaseChange&) {
                    if (auto self = weak.lock()) self->localChanged(pair);
                });
        }
        return monitor;
    });
}

void CloudSynchronizer::log(const std::function<std::string()>& message) const {
    if (!isDebug) return;
    static const Log logger("prefs");
    logger.debug("[Prefs.cloud] " + message());
}

}  // namespace vorela::Prefs
