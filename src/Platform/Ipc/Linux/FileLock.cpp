#include "Platform/Ipc/Linux/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace vorela {

FileLock::Outcome FileLock::take(const std::filesystem::path& file) {
    if (fd_ >= 0) return Outcome::taken;
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return Outcome::failed;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int cause = errno;
        ::close(fd);
        return cause == EWOULDBLOCK ? Outcome::busy : Outcome::failed;
    }
    fd_ = fd;
    return Outcome::taken;
}

void FileLock::release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

}  // namespace vorela
