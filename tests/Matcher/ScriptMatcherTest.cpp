#include <gtest/gtest.h>

#include "Matcher/ScriptMatcher.h"
#include "Platform/Defaults/RawRepresentable.h"
#include "Support/MatcherScripts.h"

namespace vorela {
namespace {

using testing::distinctWords;
using testing::tokensFromWords;
using Words = std::vector<std::string>;

constexpr auto kSpanish = Tokenizer::Language::spanish;

TranscriptionUpdate partial(Words words) { return {std::move(words), false, std::nullopt, 0}; }
TranscriptionUpdate final(Words words) { return {std::move(words), true, std::nullopt, 0}; }

class ScriptMatcherIngestTest : public ::testing::Test {
protected:
    ScriptMatcherIngestTest() {
        matcher_.setTokens(tokensFromWords(distinctWords(50)));
        matcher_.reset(0);
    }
    ScriptMatcher matcher_;
};

TEST_F(ScriptMatcherIngestTest, PartialResultsHoldBackTheirLastWord) {
    matcher_.ingest(partial({"uno"}), kSpanish, 1.0);
    EXPECT_EQ(matcher_.listeningWindow(), Words{});
    EXPECT_EQ(matcher_.consumedCount(), 0);

    struct Step {
        const char* name;
        TranscriptionUpdate update;
        Words window;
        long consumed;
    } steps[] = {
        {"two words add the first", partial({"uno", "dos"}), {"uno"}, 1},
        {"three words add the second", partial({"uno", "dos", "tres"}), {"uno", "dos"}, 2},
        {"four words add the third",
         partial({"uno", "dos", "tres", "cuatro"}),
         {"uno", "dos", "tres"},
         3},
        {"the final adds the fourth",
         final({"uno", "dos", "tres", "cuatro"}),
         {"uno", "dos", "tres", "cuatro"},
         0},
        {"the next hypothesis is read from its first word",
         partial({"cinco", "seis"}),
         {"uno", "dos", "tres", "cuatro", "cinco"},
         1},
    };
    for (auto& step : steps) {
        SCOPED_TRACE(step.name);
        matcher_.ingest(step.update, kSpanish, 1.0);
        EXPECT_EQ(matcher_.listeningWindow(), step.window);
        EXPECT_EQ(matcher_.consumedCount(), step.consumed);
    }
}

TEST_F(ScriptMatcherIngestTest, AOneWordPartialWaitsForTheFinalOrALongerPartial) {
    struct Case {
        const char* name;
        TranscriptionUpdate next;
        Words window;
    } cases[] = {
        {"the final", final({"uno"}), {"uno"}},
        {"a longer partial", partial({"uno", "dos"}), {"uno"}},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        matcher_.reset(0);
        matcher_.ingest(partial({"uno"}), kSpanish, 1.0);
        EXPECT_EQ(matcher_.listeningWindow(), Words{});
        matcher_.ingest(c.next, kSpanish, 1.0);
        EXPECT_EQ(matcher_.listeningWindow(), c.window);
    }
}

// The matcher reads a hypothesis by position: what the recogniser changes in words it
// already took is not read again; shaping its results is the recogniser layer's work.
TEST_F(ScriptMatcherIngestTest, AResultNoLongerThanTheConsumedWordsIsReadFromItsFirstWord) {
    struct Step {
        const char* name;
        TranscriptionUpdate update;
        Words window;
        long consumed;
    } steps[] = {
        {"three taken", partial({"a1", "b2", "c3", "d4"}), {"a1", "b2", "c3"}, 3},
        {"a revision of taken words is not read again",
         partial({"a1", "z9", "c3", "d4", "e5"}),
         {"a1", "b2", "c3", "d4"},
         4},
        {"as long as the consumed count: a new hypothesis, read from its first word",
         partial({"x1", "y2", "z3", "w4"}),
         {"b2", "c3", "d4", "x1", "y2", "z3"},
         3},
        {"shorter, final: its words enter a second time",
         final({"x1", "y2"}),
         {"d4", "x1", "y2", "z3", "x1", "y2"},
         0},
        {"an empty final only ends the hypothesis",
         final({}),
         {"d4", "x1", "y2", "z3", "x1", "y2"},
         0},
    };
    for (auto& step : steps) {
        SCOPED_TRACE(step.name);
        matcher_.ingest(step.update, kSpanish, 1.0);
        EXPECT_EQ(matcher_.listeningWindow(), step.window);
        EXPECT_EQ(matcher_.consumedCount(), step.consumed);
    }
    matcher_.ingest(partial({"p", "q"}), kSpanish, 1.0);
    matcher_.ingest(partial({"r"}), kSpanish, 1.0);
    EXPECT_EQ(matcher_.consumedCount(), 0) << "a one-word partial after one taken word";
    EXPECT_EQ(matcher_.listeningWindow().back(), "p");
}

TEST_F(ScriptMatcherIngestTest, WordsThatNormaliseToNothingAreSkipped) {
    matcher_.ingest(final({"¿Qué?", "...", "—", "Tenés", "¡", "12,5"}), kSpanish, 1.0);
    EXPECT_EQ(matcher_.listeningWindow(), (Words{"que", "tenes", "125"}));
    EXPECT_EQ(matcher_.recentHeard()[1].phon, Tokenizer::spanishPhonetic("tenes"));
    matcher_.ingest(final({"Phone"}), Tokenizer::Language::english, 1.0);
    EXPECT_EQ(matcher_.recentHeard().back().phon, Tokenizer::englishPhonetic("phone"));
}

TEST_F(ScriptMatcherIngestTest, TheWindowKeepsTheNewestWords) {
    matcher_.ingest(final({"w1", "w2", "w3", "w4", "w5", "w6", "w7", "w8"}), kSpanish, 1.0);
    EXPECT_EQ(matcher_.listeningWindow(), (Words{"w3", "w4", "w5", "w6", "w7", "w8"}));

    auto config = matcher_.config();
    config.listenWindow = 3;
    matcher_.setConfig(config);
    matcher_.ingest(final({"w9"}), kSpanish, 1.0);
    EXPECT_EQ(matcher_.listeningWindow(), (Words{"w7", "w8", "w9"}));
}

TEST_F(ScriptMatcherIngestTest, RateEstimateHasAWindowAFloorAndACeiling) {
    // Four word times are too few to say anything.
    matcher_.ingest(final({"a", "b", "c", "d"}), kSpanish, 10.0);
    EXPECT_EQ(matcher_.measuredWPM(), 140);
    // A fifth within 0.2 s: 5 / 0.5 s * 60 = 600, held at 260.
    matcher_.ingest(final({"e"}), kSpanish, 10.2);
    EXPECT_EQ(matcher_.measuredWPM(), 260);
    // At 25.0 the time 10.0 is exactly 15 s old and still counts; 10.2 too: six times
    // over 15 s give 24 wpm, held at 60.
    matcher_.ingest(final({"f"}), kSpanish, 25.0);
    EXPECT_EQ(matcher_.measuredWPM(), 60);
    // Past 25.2 every old time has aged out: two left, nothing changes.
    matcher_.ingest(final({"g"}), kSpanish, 25.25);
    EXPECT_EQ(matcher_.measuredWPM(), 60);
    // Three more, one a second: five times from 25.0 to 28.25.
    matcher_.ingest(final({"h"}), kSpanish, 26.25);
    matcher_.ingest(final({"i"}), kSpanish, 27.25);
    matcher_.ingest(final({"j"}), kSpanish, 28.25);
    EXPECT_DOUBLE_EQ(matcher_.measuredWPM(), 5.0 / 3.25 * 60.0);
}

TEST_F(ScriptMatcherIngestTest, ResetClampsTheIndexAndKeepsTheRate) {
    matcher_.ingest(final({"a", "b", "c", "d", "e"}), kSpanish, 10.0);
    matcher_.setLastUpdateTime(10.0);
    matcher_.ingest(partial({"x", "y"}), kSpanish, 10.0);
    ASSERT_EQ(matcher_.measuredWPM(), 260);

    struct Case {
        const char* name;
        long index;
        long expected;
    } cases[] = {{"inside", 17, 17}, {"negative", -4, 0}, {"past the end", 500, 49}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        matcher_.reset(c.index);
        EXPECT_EQ(matcher_.cursor(), c.expected);
        EXPECT_EQ(matcher_.confirmed(), c.expected);
        EXPECT_EQ(matcher_.state(), MatchState::searching);
        EXPECT_TRUE(matcher_.listeningWindow().empty());
        EXPECT_EQ(matcher_.consumedCount(), 0);
        EXPECT_EQ(matcher_.lastScore(), 0);
        EXPECT_EQ(matcher_.measuredWPM(), 260);
        EXPECT_EQ(matcher_.lastUpdateTime(), 10.0);
    }

    matcher_.setTokens(nullptr);
    matcher_.reset(7);
    EXPECT_EQ(matcher_.cursor(), 0);
    EXPECT_EQ(matcher_.align(11.0), std::nullopt);
}

TEST(ScriptMatcherTokensTest, TokensAreSharedNotCopied) {
    const auto tokens = tokensFromWords(distinctWords(1000));
    ScriptMatcher matcher;
    matcher.setTokens(tokens);
    EXPECT_EQ(&matcher.tokens(), tokens.get());
    EXPECT_EQ(matcher.tokenCount(), 1000);
}

TEST(MatchStateTest, RawValuesAreTheCaseNames) {
    static_assert(RawRepresentable<MatchState>);
    for (auto state : {MatchState::locked, MatchState::searching, MatchState::lost}) {
        EXPECT_EQ(makeFromRawValue<MatchState>(rawValue(state)), state);
    }
    EXPECT_EQ(rawValue(MatchState::lost), "lost");
    EXPECT_EQ(makeFromRawValue<MatchState>("Locked"), std::nullopt);
}

}  // namespace
}  // namespace vorela
