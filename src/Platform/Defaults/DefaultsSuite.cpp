#include "Platform/Defaults/DefaultsSuite.h"

#include <utility>

namespace vorela {

DefaultsSuite::DefaultsSuite(std::optional<std::string> filePath) {
    if (!filePath) return;
    file_.emplace(std::move(*filePath));
    auto loaded = file_->load();
    stored_ = std::move(loaded.entries);
    isWritable_ = loaded.isWritable;
    if (loaded.notice) problems_.push_back(std::move(*loaded.notice));
    if (isWritable_) writer_ = std::make_unique<SerialQueue>("prefs-writer");
}

DefaultsSuite::~DefaultsSuite() { flush(); }

std::optional<PropertyList> DefaultsSuite::object(const std::string& key) const {
    std::lock_guard lock(mutex_);
    return inForceLocked(key);
}

void DefaultsSuite::set(const std::string& key, PropertyList value) {
    if (value.isNull()) {
        remove(key);
        return;
    }
    change(key, std::move(value), true);
}

void DefaultsSuite::remove(const std::string& key) { change(key, std::nullopt, true); }

void DefaultsSuite::change(const std::string& key, std::optional<PropertyList> value,
                           bool persist) {
    if (observers_.wantsPrior(key)) {
        SuiteChange prior;
        prior.key = key;
        prior.isPrior = true;
        {
            std::lock_guard lock(mutex_);
            prior.oldStored = storedLocked(key);
            if (prior.oldStored == value) return;
            prior.oldValue = inForceLocked(key);
        }
        observers_.notify(prior);
    }
    SuiteChange done;
    done.key = key;
    {
        std::lock_guard lock(mutex_);
        done.oldStored = storedLocked(key);
        if (done.oldStored == value) return;
        done.oldValue = inForceLocked(key);
        if (value) {
            stored_.insert_or_assign(key, *value);
        } else {
            stored_.erase(key);
        }
        done.newStored = std::move(value);
        done.newValue = inForceLocked(key);
        if (persist) {
            ++localChanges_;
            scheduleWrite();
        }
    }
    observers_.notify(done);
}

std::optional<PropertyList> DefaultsSuite::storedLocked(const std::string& key) const {
    if (auto it = stored_.find(key); it != stored_.end()) return it->second;
    return std::nullopt;
}

std::optional<PropertyList> DefaultsSuite::inForceLocked(const std::string& key) const {
    if (auto it = stored_.find(key); it != stored_.end()) return it->second;
    if (auto it = registered_.find(key); it != registered_.end()) return it->second;
    return std::nullopt;
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
    return observers_.add(std::nullopt, false,
                          [observer = std::move(observer)](const SuiteChange& c) {
                              observer(c.key, c.oldStored, c.newStored);
                          });
}

Subscription DefaultsSuite::observeValue(const std::string& key, bool wantsPrior,
                                         ValueObserver observer) {
    return observers_.add(key, wantsPrior, std::move(observer));
}

bool DefaultsSuite::reload() {
    if (!file_) return false;
    std::uint64_t generation = 0;
    {
        std::lock_guard lock(mutex_);
        // Changes of our own not yet on disk: the file is older than we are.
        if (writeQueued_ || isWriting_) return false;
        generation = localChanges_;
    }
    auto entries = file_->reread();
    if (!entries) return false;
    std::vector<std::pair<std::string, std::optional<PropertyList>>> changes;
    {
        std::lock_guard lock(mutex_);
        if (writeQueued_ || isWriting_ || localChanges_ != generation) return false;
        for (const auto& [key, value] : stored_) {
            if (!entries->contains(key)) changes.emplace_back(key, std::nullopt);
        }
        for (auto& [key, value] : *entries) {
            auto it = stored_.find(key);
            if (it == stored_.end() || it->second != value) changes.emplace_back(key, value);
        }
    }
    for (auto& [key, value] : changes) change(key, std::move(value), false);
    return !changes.empty();
}

std::optional<std::string> DefaultsSuite::filePath() const {
    if (!file_) return std::nullopt;
    return file_->path();
}

void DefaultsSuite::flush() {
    if (writer_) writer_->waitUntilIdle();
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
        isWriting_ = true;
        snapshot = stored_;
    }
    const bool isWritten = file_->write(snapshot);
    {
        std::lock_guard lock(mutex_);
        isWriting_ = false;
    }
    if (isWritten) return;
    {
        // Every later change fails the same way: one notice is enough.
        std::lock_guard lock(problemMutex_);
        if (hasReportedWriteFailure_) return;
        hasReportedWriteFailure_ = true;
    }
    report("No se pueden guardar las preferencias en «" + file_->path() +
           "»: los cambios de ajustes valen solo hasta que se cierre Vorela.");
}

Subscription DefaultsSuite::observeProblems(ProblemObserver observer) {
    std::lock_guard lock(problemMutex_);
    for (const auto& text : problems_) observer(text);
    const std::uint64_t id = nextProblemObserver_++;
    problemObservers_.emplace(id, std::move(observer));
    return Subscription([this, id] {
        std::lock_guard lock(problemMutex_);
        problemObservers_.erase(id);
    });
}

void DefaultsSuite::report(std::string text) {
    // Called under the lock, so a cancelled observation is never called afterwards.
    std::lock_guard lock(problemMutex_);
    for (const auto& [id, observer] : problemObservers_) observer(text);
    problems_.push_back(std::move(text));
}

}  // namespace vorela
