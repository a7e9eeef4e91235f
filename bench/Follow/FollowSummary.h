#pragma once

#include <map>
#include <string>
#include <vector>

#include "FollowScorer.h"

namespace vorela::follow {

// Scores of many readings, pooled per set and per scenario (a reading named
// LANG-SCENARIO-VOICE): one JSON line per reading and a table of each grouping.
class FollowSummary {
public:
    struct Run {
        std::string reading;
        std::string set;
        ReadingScore score;
        bool failed = false;   // the follower exited with an error or wrote nothing usable
        std::string runStats;  // the follower's last line on standard error, verbatim
    };

    void add(Run run);

    static std::string jsonLine(const Run& run);
    // One row per set plus "all", then one per scenario plus "all", with the targets' figures.
    std::string table() const;
    static std::string scenarioOf(const std::string& reading);

    // Nearest-rank percentile (0-100) of unsorted values; 0 when there are none.
    static double percentile(std::vector<double> values, double percent);

private:
    std::map<std::string, std::vector<Run>> runsBySet_;
    std::map<std::string, std::vector<Run>> runsByScenario_;
};

}  // namespace vorela::follow
