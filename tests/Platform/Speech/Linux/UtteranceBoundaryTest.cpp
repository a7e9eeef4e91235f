#include <gtest/gtest.h>

#include <vector>

#include "Platform/Speech/Linux/UtteranceBoundary.h"

namespace vorela {
namespace {

// The decoder kept an utterance open until a pause came after 20 s. In a noisy room the
// off-script phone loop changes its guess every few frames, no pause ever shows, and the
// utterance, with the decoder's memory and time per block, grew for as long as the noise
// lasted. An utterance now ends at 40 s whatever is heard.
TEST(UtteranceBoundaryTest, ClosesAtAPauseOnceLongAndAlwaysAtTheCeiling) {
    const struct {
        const char* name;
        double start;
        std::vector<double> changes;  // audio seconds at which the guess changed
        bool isNoisy;                 // the guess also changes every 0.1 s up to now
        double now;
        bool closes;
    } cases[] = {
        {"short, pausing", 0, {1, 2}, false, 10, false},
        {"long, still talking", 0, {21, 24.6}, false, 25, false},
        {"long, pausing", 0, {21, 24.4}, false, 25, true},
        {"pause counts from the start when nothing was heard", 100, {}, false, 120, true},
        {"a pause before 20 s is not enough", 0, {5}, false, 19.9, false},
        {"noise, before the ceiling", 0, {}, true, 39.9, false},
        {"noise, at the ceiling", 0, {}, true, 40, true},
        {"the ceiling counts from the utterance's start", 50, {}, true, 89.9, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UtteranceBoundary boundary;
        boundary.start(c.start);
        for (double t : c.changes) boundary.guessChanged(t);
        if (c.isNoisy) {
            for (double t = c.start; t < c.now; t += 0.1) boundary.guessChanged(t);
        }
        EXPECT_EQ(boundary.shouldClose(c.now), c.closes);
    }
}

TEST(UtteranceBoundaryTest, ANewUtteranceStartsItsOwnCount) {
    UtteranceBoundary boundary;
    boundary.start(0);
    EXPECT_TRUE(boundary.shouldClose(40));
    boundary.start(40);
    boundary.guessChanged(59.9);
    EXPECT_FALSE(boundary.shouldClose(60));
    EXPECT_TRUE(boundary.shouldClose(80));
}

}  // namespace
}  // namespace vorela
