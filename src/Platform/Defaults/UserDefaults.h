#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "Platform/Defaults/PropertyList.h"
#include "Platform/Defaults/SuiteObservers.h"
#include "Platform/Observation/Subscription.h"

namespace vorela {

// A suite of preferences: a string-keyed store of property-list objects with a
// registration domain of defaults that live for the process only. Thread-safe: every
// call may come from any thread.
//
// Persistence: each suite is an XML property list under
// $XDG_CONFIG_HOME/app.vorela.Vorela/<suite>.plist (fallback ~/.config; the standard
// suite is "app.vorela.Vorela"), read when the suite is opened and rewritten atomically
// (temporary file, fsync, rename) after every change, on a background queue so that no
// caller waits for the disk; flush() and the suite's destruction wait for it. A file
// that cannot be read or parsed is moved aside (kept), logged, and the suite starts
// empty. A suite made with inMemory() never touches the disk. Opening the same file
// twice in one process gives the same suite object.
class UserDefaults {
public:
    // Called after a stored entry changes (setting an equal object is no change): key,
    // old stored object (nothing when absent), new stored object (nothing when removed).
    // Registered defaults are not stored entries: object(key) gives the value now in
    // force. Runs on the writing thread, outside the suite's lock, so it may use the suite.
    using ChangeObserver =
        std::function<void(const std::string& key, const std::optional<PropertyList>& oldValue,
                           const std::optional<PropertyList>& newValue)>;

    // The standard suite of the application. Tests may replace it (setStandard) with a
    // suite in a temporary folder or in memory.
    static std::shared_ptr<UserDefaults> standard();
    static void setStandard(std::shared_ptr<UserDefaults> suite);

    // A named suite persisted in the configuration folder; nothing for an invalid name.
    static std::shared_ptr<UserDefaults> suite(const std::string& name);
    static std::shared_ptr<UserDefaults> open(const std::string& filePath);
    static std::shared_ptr<UserDefaults> inMemory();

    virtual ~UserDefaults() = default;

    // Stored entry, else the registered default, else nothing.
    virtual std::optional<PropertyList> object(const std::string& key) const = 0;
    // Stores the object; a null object removes the entry.
    virtual void set(const std::string& key, PropertyList value) = 0;
    virtual void remove(const std::string& key) = 0;
    // Adds to the registration domain (later registrations of a key win).
    virtual void registerDefaults(const PlistDictionary& defaults) = 0;
    // Stored entries merged over the registered defaults.
    virtual PlistDictionary dictionaryRepresentation() const = 0;
    // Removes every key listed by dictionaryRepresentation(), one at a time.
    virtual void removeAll() = 0;

    [[nodiscard]] virtual Subscription observe(ChangeObserver observer) = 0;

    // Key-value observation of one entry: every change of its stored object, with the
    // values in force (stored, else registered) before and after. With wantsPrior a notice
    // carrying the old side alone comes before each change. Runs on the writing thread
    // outside the suite's lock; see SuiteObservers for cancelling during a delivery.
    using ValueObserver = SuiteObservers::Callback;
    [[nodiscard]] virtual Subscription observeValue(const std::string& key, bool wantsPrior,
                                                    ValueObserver observer) = 0;

    // Takes in what another process wrote to the suite's file, notifying the observers of
    // each entry that changed; returns whether anything changed. A suite with changes of
    // its own not yet on disk keeps them (its next write wins). Nothing for a suite
    // without a file.
    virtual bool reload() { return false; }
    // The property-list file behind the suite, if any.
    virtual std::optional<std::string> filePath() const { return std::nullopt; }

    // Blocks until every change made before the call is on disk (nothing to do in memory).
    virtual void flush() {}

    // What the user must hear about the suite's file, each kind once per run (a damaged
    // file set aside, changes that cannot be written), as a Spanish text. The observer gets
    // what was found before it at once, later ones on the thread that found them (the
    // suite's writer), under the suite's lock: post to your own loop and return. A suite
    // without a file has none.
    using ProblemObserver = std::function<void(const std::string& text)>;
    [[nodiscard]] virtual Subscription observeProblems(ProblemObserver) { return {}; }

    // $XDG_CONFIG_HOME/app.vorela.Vorela (an absolute XDG_CONFIG_HOME), else
    // ~/.config/app.vorela.Vorela; empty when neither can be found.
    static std::string configFolder();

    // Convenience reads of the exact stored type.
    std::optional<bool> boolean(const std::string& key) const;
    std::optional<std::string> string(const std::string& key) const;
};

}  // namespace vorela
