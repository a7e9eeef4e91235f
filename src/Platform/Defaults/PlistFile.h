#pragma once

#include <optional>
#include <string>

#include "Platform/Defaults/PropertyList.h"

namespace vorela {

// One property-list file of a user-defaults suite.
//
// load() reads it: a missing file is an empty suite; a file that cannot be read or
// parsed, or whose top object is not a dictionary, is renamed aside to
// "<path>.corrupt-<UTC timestamp>" (kept for the user), logged under "prefs", and the
// suite starts empty. If it cannot even be moved aside the suite must not write the
// path (that would destroy the file): load() then reports isWritable == false.
//
// write() replaces the file atomically: a temporary file in the same folder is
// written, flushed to disk, renamed over the path, and the folder is flushed too, so a
// crash at any moment leaves the old file or the new one, never a mix or a truncation.
// A crash may leave a temporary file behind; load() removes those older than
// kStaleTemporarySeconds (a younger one may belong to a write in progress elsewhere).
class PlistFile {
public:
    struct Loaded {
        PlistDictionary entries;
        bool isWritable = true;
        // For the user when the file could not be used and the settings start over.
        std::optional<std::string> notice;
    };

    explicit PlistFile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }
    Loaded load() const;
    // Reads the file again after another process replaced it: a missing file is an empty
    // suite; a file that cannot be read now gives nothing and is left where it is (it
    // belongs to whoever wrote it, and the suite keeps what it holds).
    std::optional<PlistDictionary> reread() const;
    // False (and logged) when the file could not be replaced; the old file is intact.
    bool write(const PlistDictionary& entries) const;

    // Files beyond this are not preferences; they are treated as corrupt.
    static constexpr long long kMaxFileBytes = 64LL * 1024 * 1024;
    // A write takes milliseconds; a temporary file this old was abandoned.
    static constexpr long long kStaleTemporarySeconds = 60;

private:
    std::optional<PlistDictionary> read(std::string& reason) const;
    std::optional<std::string> moveAside(const std::string& reason) const;
    void removeStaleTemporaries() const;

    std::string path_;
};

}  // namespace vorela
