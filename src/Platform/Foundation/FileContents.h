#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace vorela {

// Whole-file reads for the core. A file larger than the caller's limit is refused from the
// open file's size, before its bytes are read; a file that is not that size when read (cut
// or grown meanwhile) fails as `changed`, never as part of itself. Thread-safe; keeps no state.
class FileContents {
public:
    enum class Failure { notFound, permissionDenied, isFolder, tooLarge, changed, unreadable };

    struct Result {
        std::optional<std::string> bytes;  // absent on failure
        Failure failure = Failure::unreadable;
    };

    static Result read(const std::filesystem::path& path, std::uintmax_t maxSize);
    static bool isFolder(const std::filesystem::path& path);
};

}  // namespace vorela
