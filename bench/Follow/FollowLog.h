#pragma once

#include <string_view>
#include <vector>

#include "FollowScorer.h"

namespace vorela::follow {

// The follower's standard output: one JSON object {"t": seconds, "start": byte offset} a line.
struct FollowLog {
    std::vector<FollowMove> moves;
    int badLines = 0;  // non-empty lines that are not such an object

    static FollowLog parse(std::string_view text);
};

}  // namespace vorela::follow
