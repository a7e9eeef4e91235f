#include <gtest/gtest.h>

#include "EspeakReader.h"
#include "ReadingPlan.h"
#include "ScriptWords.h"

namespace vorela::follow {
namespace {

TEST(EspeakReaderTest, WordTimesAreOrderedAndInsideTheAudio) {
    const ScriptWords script("Vendimos 1.250 cajas, y luego descansamos.");
    std::string error;
    const auto spoken =
        ReadingPlan::spokenWords("read 0 2\nsay perdón\nas 1 mil\nread 3 end", script, error);
    ASSERT_TRUE(spoken) << error;
    const auto reading = EspeakReader::read(*spoken, {"es+f3", 170, 50}, 0.5, error);
    ASSERT_TRUE(reading) << error;

    const double duration = static_cast<double>(reading->samples.size()) / reading->sampleRate;
    ASSERT_EQ(reading->words.size() + reading->untimedWords, spoken->size());
    EXPECT_GE(reading->words.front().startSeconds, 0.5);  // after the lead-in
    double previousEnd = 0;
    for (const auto& w : reading->words) {
        SCOPED_TRACE(w.text);
        EXPECT_GE(w.startSeconds, previousEnd);
        EXPECT_GT(w.endSeconds, w.startSeconds);
        EXPECT_LE(w.endSeconds, duration);
        previousEnd = w.endSeconds;
    }
    EXPECT_EQ(reading->words[3].scriptOffset, -1);  // "perdón"
    EXPECT_EQ(reading->words[4].scriptOffset, 9);   // "mil" reads "1.250"
}

TEST(EspeakReaderTest, BadPlansAndVoicesAreRefused) {
    const ScriptWords script("uno dos tres");
    const struct {
        const char* name;
        const char* plan;
    } plans[] = {{"index past the end", "read 0 3"},
                 {"reversed range", "read 2 1"},
                 {"unknown directive", "sing 0"},
                 {"as without words", "as 1"}};
    for (const auto& p : plans) {
        SCOPED_TRACE(p.name);
        std::string error;
        EXPECT_FALSE(ReadingPlan::spokenWords(p.plan, script, error));
        EXPECT_EQ(error.rfind("line 1", 0), 0u);
    }
    std::string error;
    EXPECT_FALSE(EspeakReader::read({{"uno", 0}}, {"no-such-voice", 160, 50}, 0, error));
    EXPECT_NE(error.find("no-such-voice"), std::string::npos);
}

}  // namespace
}  // namespace vorela::follow
