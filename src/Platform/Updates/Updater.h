#pragma once

#include <memory>

namespace vorela {

// A running self-updater: it schedules background checks and shows its own progress and
// result windows. Main thread only.
class Updater {
public:
    Updater() = default;
    virtual ~Updater() = default;
    Updater(const Updater&) = delete;
    Updater& operator=(const Updater&) = delete;
    Updater(Updater&&) = delete;
    Updater& operator=(Updater&&) = delete;

    // Scheduled background checks on or off.
    virtual void setAutomaticallyChecksForUpdates(bool on) = 0;
    // Time between scheduled checks, in seconds.
    virtual void setUpdateCheckInterval(double seconds) = 0;
    // Whether a check started by the user may begin now.
    virtual bool canCheckForUpdates() const = 0;
    // A check started by the user.
    virtual void checkForUpdates() = 0;
};

// The update component the build carries. Releasing the returned updater stops it.
class UpdateFramework {
public:
    virtual ~UpdateFramework() = default;
    // A started updater; nothing when the build carries no update component.
    virtual std::unique_ptr<Updater> startUpdater() = 0;
};

}  // namespace vorela
