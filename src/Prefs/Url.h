#pragma once

#include <string>

namespace vorela {

// A URL kept as its text; the preferences store and the views pass it along whole and
// the opener (the desktop's) interprets it.
struct Url {
    std::string absoluteString;

    bool operator==(const Url&) const = default;
    auto operator<=>(const Url&) const = default;
};

}  // namespace vorela
