#pragma once

#include <memory>
#include <optional>
#include <string>

#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Loop/RunLoop.h"

namespace vorela {

// Notices another process replacing a suite's property-list file and has the suite take
// the change in (UserDefaults::reload), so controls bound to its keys follow.
//
// It polls the file's identity (device, inode, size, modification time) on a run-loop
// timer instead of asking the kernel for events: suites are replaced by rename, which
// ends a watch on the old file, and the folder sees every temporary file of our own
// writes; a poll needs neither, runs on the virtual clock in tests, and costs one stat()
// per interval. Main thread only; holds the suite weakly.
class SuiteFileWatcher {
public:
    // One second is quick enough for a setting changed in another window.
    static constexpr double kDefaultIntervalSeconds = 1.0;

    SuiteFileWatcher(RunLoop& loop, const std::shared_ptr<UserDefaults>& suite,
                     double intervalSeconds = kDefaultIntervalSeconds);

    // Looks at the file now; true when the suite reloaded something.
    bool check();

private:
    struct Stamp {
        unsigned long long device = 0;
        unsigned long long inode = 0;
        long long size = -1;
        long long modifiedNanoseconds = 0;
        bool operator==(const Stamp&) const = default;
    };
    std::optional<Stamp> stamp() const;

    std::weak_ptr<UserDefaults> suite_;
    std::string path_;
    std::optional<Stamp> last_;
    TimerHandle timer_;  // last: cancelled before the fields it reads go
};

}  // namespace vorela
