#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "FollowSummary.h"

namespace vorela::follow {
namespace {

TEST(FollowSummaryTest, PercentilesAreNearestRank) {
    const std::vector<double> latencies = {0.5, 0.1, 0.4, 0.2, 0.3};
    const struct {
        const char* name;
        std::vector<double> values;
        double percent;
        double expected;
    } cases[] = {{"median of five", latencies, 50, 0.3},
                 {"p95 of five is the largest", latencies, 95, 0.5},
                 {"p0 is the smallest", latencies, 0, 0.1},
                 {"none", {}, 95, 0.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_DOUBLE_EQ(FollowSummary::percentile(c.values, c.percent), c.expected);
    }
}

TEST(FollowSummaryTest, SetsPoolSpeechTimeNotReadings) {
    // A short perfect reading must not lift a long poor one to the mean of the two fractions.
    FollowSummary summary;
    FollowSummary::Run good{"a", "clean-en", {}, false, ""};
    good.score.speechSamples = 100;
    good.score.withinSamples = 100;
    FollowSummary::Run poor{"b", "clean-en", {}, true, "rtf 0.1"};
    poor.score.speechSamples = 900;
    poor.score.withinSamples = 450;
    poor.score.backwardMoves = 2;
    summary.add(good);
    summary.add(poor);
    const std::string table = summary.table();
    EXPECT_NE(table.find("clean-en      2    1     10.0   0.550     2"), std::string::npos)
        << table;

    const auto line = nlohmann::json::parse(FollowSummary::jsonLine(poor));
    EXPECT_DOUBLE_EQ(line["within3"].get<double>(), 0.5);
    EXPECT_TRUE(line["failed"].get<bool>());
    EXPECT_EQ(line["run"], "rtf 0.1");
}

}  // namespace
}  // namespace vorela::follow
