#pragma once

#include <string>

namespace vorela {

// What every import yields: a title and a cleaned body that is never empty.
struct ImportedScript {
    std::string title;
    std::string body;

    bool operator==(const ImportedScript&) const = default;
};

}  // namespace vorela
