#include "Platform/Foundation/FileContents.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>

namespace vorela {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

FileContents::Result failed(int error) {
    FileContents::Result result;
    if (error == ENOENT || error == ENOTDIR) {
        result.failure = FileContents::Failure::notFound;
    } else if (error == EACCES || error == EPERM) {
        result.failure = FileContents::Failure::permissionDenied;
    } else if (error == EISDIR) {
        result.failure = FileContents::Failure::isFolder;
    }
    return result;
}

}  // namespace

bool FileContents::isFolder(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

FileContents::Result FileContents::read(const std::filesystem::path& path, std::uintmax_t maxSize) {
    if (isFolder(path)) return failed(EISDIR);
    errno = 0;
    // Opened without blocking, and only a regular file is read: a named pipe would hold the
    // caller until some writer appeared, and a device has no size to bound the read by.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return failed(errno);
    struct stat status {};
    const bool isKnown = ::fstat(descriptor, &status) == 0;
    if (!isKnown || !S_ISREG(status.st_mode)) {
        const int error = !isKnown ? errno : S_ISDIR(status.st_mode) ? EISDIR : 0;
        ::close(descriptor);
        return failed(error);
    }
    std::unique_ptr<std::FILE, FileCloser> file(::fdopen(descriptor, "rb"));
    if (!file) {
        const int error = errno;
        ::close(descriptor);
        return failed(error);
    }
    // The size comes from the open file, so a path swapped meanwhile cannot slip past it.
    if (std::fseek(file.get(), 0, SEEK_END) != 0) return failed(errno);
    const long size = std::ftell(file.get());
    if (size < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) return failed(errno);
    if (static_cast<std::uintmax_t>(size) > maxSize) return Result{std::nullopt, Failure::tooLarge};
    std::string bytes(static_cast<std::size_t>(size), '\0');
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
    if (std::ferror(file.get())) return failed(errno);
    if (got != bytes.size() || std::fgetc(file.get()) != EOF) {
        return Result{std::nullopt, Failure::changed};
    }
    return Result{std::move(bytes), Failure::unreadable};
}

}  // namespace vorela
