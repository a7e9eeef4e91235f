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

TEST(FollowSummaryTest, ScenariosGroupReadingsAcrossSets) {
    const struct {
        const char* reading;
        const char* scenario;
    } names[] = {{"en-clean-us", "clean"},
                 {"es-clean-es419-m3", "clean"},
                 {"es-pace190-es-f3", "pace190"},
                 {"single", "single"}};
    for (const auto& n : names) EXPECT_EQ(FollowSummary::scenarioOf(n.reading), n.scenario);

    FollowSummary summary;
    for (const char* name : {"en-remark-us", "es-remark-es", "en-skip-us"}) {
        FollowSummary::Run run{name, "edits", {}, false, ""};
        run.score.speechSamples = 1000;
        run.score.withinSamples = 900;
        run.score.aheadSamples = 100;
        run.score.farAheadSamples = std::string(name) == "es-remark-es" ? 700 : 300;
        summary.add(run);
    }
    const std::string table = summary.table();
    EXPECT_NE(table.find("edits         3    0     30.0   0.900"), std::string::npos) << table;
    // Seven seconds far ahead is the worst single reading, not the sum of the set's.
    EXPECT_NE(table.find("remark        2    0     20.0   0.900"), std::string::npos) << table;
    EXPECT_NE(table.find("0.100  0.000    7.0"), std::string::npos) << table;
    EXPECT_NE(table.find("skip          1    0     10.0"), std::string::npos) << table;
}

}  // namespace
}  // namespace vorela::follow
