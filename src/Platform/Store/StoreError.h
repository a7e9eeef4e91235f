#pragma once

#include <string>

namespace vorela {

// Why the model store could not open, read or save. The description is Spanish and is
// what the library shows and logs.
struct StoreError {
    enum class Kind {
        cannotOpen,
        notAFile,
        corrupt,
        readOnly,
        busy,
        diskFull,
        incompatible,
        failed
    };
    Kind kind = Kind::failed;
    std::string detail;  // the database's own message, or the path that failed

    std::string description() const;
    bool operator==(const StoreError&) const = default;
};

}  // namespace vorela
