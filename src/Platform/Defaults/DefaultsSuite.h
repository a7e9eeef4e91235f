#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Defaults/PlistFile.h"
#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Loop/SerialQueue.h"

namespace vorela {

// The user-defaults suite behind UserDefaults' factories: the stored entries and the
// registration domain in memory, behind one lock, optionally persisted to a
// property-list file.
//
// Changes are written on a serial queue of the suite's own, so a caller never waits
// for the disk: each change marks the suite dirty and at most one write is queued; that
// write takes a snapshot of the entries when it runs, so a burst of changes costs one or
// two writes. flush() and the destructor wait for the queued write, so nothing
// acknowledged is lost at an orderly exit; a kill loses at most the changes of the last
// moments and never leaves a damaged file (PlistFile writes atomically).
class DefaultsSuite final : public UserDefaults {
public:
    // Without a file the suite lives in memory only.
    explicit DefaultsSuite(std::optional<std::string> filePath);
    ~DefaultsSuite() override;
    DefaultsSuite(const DefaultsSuite&) = delete;
    DefaultsSuite& operator=(const DefaultsSuite&) = delete;
    DefaultsSuite(DefaultsSuite&&) = delete;
    DefaultsSuite& operator=(DefaultsSuite&&) = delete;

    std::optional<PropertyList> object(const std::string& key) const override;
    void set(const std::string& key, PropertyList value) override;
    void remove(const std::string& key) override;
    void registerDefaults(const PlistDictionary& defaults) override;
    PlistDictionary dictionaryRepresentation() const override;
    void removeAll() override;
    [[nodiscard]] Subscription observe(ChangeObserver observer) override;
    [[nodiscard]] Subscription observeValue(const std::string& key, bool wantsPrior,
                                            ValueObserver observer) override;
    bool reload() override;
    std::optional<std::string> filePath() const override;
    void flush() override;
    [[nodiscard]] Subscription observeProblems(ProblemObserver observer) override;

private:
    // Stores (or, with nothing, removes) the entry and notifies; `persist` is false for
    // what came from the file itself.
    void change(const std::string& key, std::optional<PropertyList> value, bool persist);
    std::optional<PropertyList> storedLocked(const std::string& key) const;
    std::optional<PropertyList> inForceLocked(const std::string& key) const;
    void scheduleWrite();  // called with mutex_ held
    void writeSnapshot();
    void report(std::string text);

    std::optional<PlistFile> file_;
    mutable std::mutex mutex_;
    PlistDictionary stored_;          // guarded by mutex_
    PlistDictionary registered_;      // guarded by mutex_
    bool writeQueued_ = false;        // guarded by mutex_
    bool isWriting_ = false;          // guarded by mutex_
    std::uint64_t localChanges_ = 0;  // guarded by mutex_; tells reload() it raced a write
    bool isWritable_ = false;         // set once at construction
    SuiteObservers observers_;
    std::mutex problemMutex_;
    std::vector<std::string> problems_;                          // guarded by problemMutex_
    std::map<std::uint64_t, ProblemObserver> problemObservers_;  // guarded by problemMutex_
    std::uint64_t nextProblemObserver_ = 0;                      // guarded by problemMutex_
    bool hasReportedWriteFailure_ = false;                       // guarded by problemMutex_
    // Last: destroyed first, running the queued write while the entries still exist.
    std::unique_ptr<SerialQueue> writer_;
};

}  // namespace vorela
