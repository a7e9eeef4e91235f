#include "Platform/Defaults/DefaultsSuite.h"

#include <utility>

namespace vorela {

DefaultsSuite::DefaultsSuite(std::optional<std::string> filePath) {
    if (!filePath) return;
    file_.emplace(std::move(*filePath));
    auto loaded = file_->load();
    stored_ = std::move(loaded.entries);
    isWritable_ = loaded.isWritable;
    if (isWritable_) writer_ = std::make_unique<SerialQueue>("prefs-writer");
}

DefaultsSuite::~DefaultsSuite() { flush(); }

std::optional<PropertyList> DefaultsSuite::object(const std::string& key) const {
    std::lock_guard lock(mutex_);
    if (auto it = stored_.find(key); it != stored_.end()) return it->second;
    if (auto it = registered_.find(key); it != registered_.end()) return it->second;
    return std::nullopt;
}

void DefaultsSuite::set(const std::string& key, PropertyList value) {
    if (value.isNull()) {
        remove(key);
        return;
    }
    std::optional<PropertyList> old;
    {
        std::lock_guard lock(mutex_);
        auto it = stored_.find(key);
        if (it != stored_.end()) {
            if (it->second == value) return;
            old = std::exchange(it->second, value);
        } else {
            stored_.emplace(key, value);
        }
        scheduleWrite();
    }
    changed(key, old, std::optional<PropertyList>(std::move(value)));
}

void DefaultsSuite::remove(const std::string& key) {
    std::optional<PropertyList> old;
    {
        std::lock_guard lock(mutex_);
        auto it = stored_.find(key);
        if (it == stored_.end()) return;
        old = std::move(it->second);
        stored_.erase(it);
        scheduleWrite();
    }
    changed(key, old, std::nullopt);
}

void DefaultsSuite::registerDefaults(const PlistDictionary& defaults) {
    std::lock_guard lock(mutex_);
    for (const auto& [key, value] : defaults) {
        if (!value.isNull()) registered_.insert_or_assign(key, value);
    }
}

PlistDictionary DefaultsSuite::dictionaryRepresentation() const {
    std::lock_guard lock(mutex_);
    PlistDictionary merged = registered_;
    for (const auto& [key, value] : stored_) merged.insert_or_assign(key, value);
    return merged;
}

void DefaultsSuite::removeAll() {
    for (const auto& entry : dictionaryRepresentation()) remove(entry.first);
}

Subscription DefaultsSuite::observe(ChangeObserver observer) {
    auto entry = std::make_shared<ObserverEntry>();
    entry->callback = std::move(observer);
    {
        std::lock_guard lock(observers_->mutex);
        observers_->entries.push_back(entry);
    }
    std::weak_ptr<Observers> weakObservers = observers_;
    std::weak_ptr<ObserverEntry> weakEntry = entry;
    return Subscription([weakObservers, weakEntry] {
        auto e = weakEntry.lock();
        if (!e) return;
        e->active = false;
        if (auto observers = weakObservers.lock()) {
            std::lock_guard lock(observers->mutex);
            std::erase(observers->entries, e);
        }
    });
}

void DefaultsSuite::flush() {
    if (writer_) writer_->waitUntilIdle();
}

void DefaultsSuite::changed(const std::string& key, const std::optional<PropertyList>& oldValue,
                            const std::optional<PropertyList>& newValue) {
    std::vector<std::shared_ptr<ObserverEntry>> snapshot;
    {
        std::lock_guard lock(observers_->mutex);
        snapshot = observers_->entries;
    }
    for (const auto& e : snapshot) {
        if (e->active) e->callback(key, oldValue, newValue);
    }
}

void DefaultsSuite::scheduleWrite() {
    if (!writer_ || writeQueued_) return;
    writeQueued_ = true;
    writer_->async([this] { writeSnapshot(); });
}

void DefaultsSuite::writeSnapshot() {
    PlistDictionary snapshot;
    {
        std::lock_guard lock(mutex_);
        writeQueued_ = false;
        snapshot = stored_;
    }
    file_->write(snapshot);
}

}  // namespace vorela
