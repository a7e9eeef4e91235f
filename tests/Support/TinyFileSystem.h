#pragma once

#include <stdlib.h>
#include <sys/mount.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace vorela::testing {

// A real, bounded file system for the tests of a full disk or a read-only folder: a tmpfs of
// `bytes` mounted on a fresh temporary folder (root only, as CI runs; isMounted() is false
// elsewhere and the test skips). Unmounted and removed with the object.
class TinyFileSystem {
public:
    explicit TinyFileSystem(std::size_t bytes) {
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
        isMounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~TinyFileSystem() {
        if (isMounted_) ::umount2(folder_.c_str(), MNT_DETACH);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    TinyFileSystem(const TinyFileSystem&) = delete;
    TinyFileSystem& operator=(const TinyFileSystem&) = delete;
    TinyFileSystem(TinyFileSystem&&) = delete;
    TinyFileSystem& operator=(TinyFileSystem&&) = delete;

    bool isMounted() const { return isMounted_; }
    const std::filesystem::path& folder() const { return folder_; }
    // No more writes, even by root: what a read-only folder is to a normal user.
    bool makeReadOnly() {
        return ::mount("tmpfs", folder_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }
    // Takes the remaining space, so the next write fails with ENOSPC.
    void fill() const {
        const auto filler = folder_ / "relleno";
        std::FILE* file = std::fopen(filler.c_str(), "wb");
        if (!file) return;
        const std::string block(4096, 'x');
        while (std::fwrite(block.data(), 1, block.size(), file) == block.size()) {
        }
        std::fclose(file);
    }

private:
    static std::filesystem::path makeFolder() {
        char pattern[] = "/tmp/vorela-tinyfs-XXXXXX";
        return ::mkdtemp(pattern);
    }

    std::filesystem::path folder_ = makeFolder();
    bool isMounted_ = false;
};

}  // namespace vorela::testing
