#include "Platform/Defaults/SuiteFileWatcher.h"

#include <sys/stat.h>

namespace vorela {

SuiteFileWatcher::SuiteFileWatcher(RunLoop& loop, const std::shared_ptr<UserDefaults>& suite,
                                   double intervalSeconds)
    : suite_(suite), path_(suite ? suite->filePath().value_or("") : "") {
    if (path_.empty()) return;
    last_ = stamp();
    timer_ = loop.scheduleRepeating(intervalSeconds, [this] { check(); });
}

bool SuiteFileWatcher::check() {
    auto suite = suite_.lock();
    if (!suite) {
        timer_.cancel();
        return false;
    }
    const auto now = stamp();
    if (now == last_) return false;
    last_ = now;
    return suite->reload();
}

std::optional<SuiteFileWatcher::Stamp> SuiteFileWatcher::stamp() const {
    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0) return std::nullopt;
    return Stamp{static_cast<unsigned long long>(st.st_dev),
                 static_cast<unsigned long long>(st.st_ino), static_cast<long long>(st.st_size),
                 static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec};
}

}  // namespace vorela
