#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Time/Date.h"

namespace vorela {

class Script;

// The last refuge of text the library could not write: when the program ends with scripts
// still unsaved, their titles and bodies go into a plain text file beside the library, and
// the next start names each such file once. Keeps no state.
class UnsavedTextFile {
public:
    struct Written {
        std::filesystem::path path;  // empty when no file could be made
        // Why the text is not all there (a full disk keeps what fitted); none on success.
        std::optional<std::string> error;
    };

    // A new file "Textos sin guardar <local time> (nuevo).txt" in `folder`, readable by its
    // owner only, holding each script's title and body.
    static Written write(const std::filesystem::path& folder,
                         const std::vector<std::shared_ptr<Script>>& scripts, Date now);
    // The files written since the last call, renamed without " (nuevo)" so that each is
    // named to the user once; oldest first.
    static std::vector<std::filesystem::path> takeNew(const std::filesystem::path& folder);
};

}  // namespace vorela
