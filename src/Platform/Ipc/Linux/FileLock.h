#pragma once

#include <filesystem>

namespace vorela {

// An exclusive flock() on a file, held until released or destroyed. The kernel lets go
// when the process ends, however it ends, so a crash leaves no stale owner; the
// descriptor is not inherited by the programs we start.
class FileLock {
public:
    enum class Outcome { taken, busy, failed };

    FileLock() = default;
    ~FileLock() { release(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Opens or creates the file (0600, never through a symbolic link) and tries the lock
    // without waiting. Held already: taken.
    Outcome take(const std::filesystem::path& file);
    void release();
    bool isHeld() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace vorela
