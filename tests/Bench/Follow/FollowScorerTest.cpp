#include <gtest/gtest.h>

#include "FollowLog.h"
#include "FollowScorer.h"
#include "FollowSummary.h"

namespace vorela::follow {
namespace {

// Twenty one-letter words, "a b c ...", so word i starts at byte 2 i; each truth word is
// spoken for 0.4 s from 1 s + 0.5 s i.
const std::string kScript = "a b c d e f g h i j k l m n o p q r s t";
constexpr double kWordSeconds = 0.5;

long offsetOf(long index) { return 2 * index; }

SpeechTruth truthOf(const std::vector<long>& spokenIndexes) {
    SpeechTruth truth;
    double t = 1.0;
    for (long index : spokenIndexes) {
        truth.words.push_back({"w", t, t + 0.4, index < 0 ? -1 : offsetOf(index)});
        t += kWordSeconds;
    }
    truth.durationSeconds = t + 1.0;
    return truth;
}

std::vector<long> straight(long from, long to) {
    std::vector<long> out;
    for (long i = from; i <= to; ++i) out.push_back(i);
    return out;
}

// A follower that moves to the word after each spoken script word `delaySeconds` after it ends.
std::vector<FollowMove> following(const SpeechTruth& truth, double delaySeconds) {
    std::vector<FollowMove> moves;
    for (const auto& w : truth.words) {
        if (w.scriptOffset >= 0) moves.push_back({w.endSeconds + delaySeconds, w.scriptOffset + 2});
    }
    return moves;
}

ReadingScore scoreOf(const SpeechTruth& truth, const std::vector<FollowMove>& moves) {
    return FollowScorer(ScriptWords(kScript), truth, 1).score(moves);
}

TEST(FollowScorerTest, FollowersOfACleanReading) {
    const SpeechTruth truth = truthOf(straight(0, 18));
    struct Case {
        const char* name;
        std::vector<FollowMove> moves;
        double within;
        int backward;
        double medianLatency;
        int unreached;
    };
    const Case cases[] = {
        {"perfect", following(truth, 0.1), 1.0, 0, 0.1, 0},
        // Two words behind at 1.2 s: the current word trails by 2-3 words, still within ±3;
        // it first sits in a word's band (word + 1 ... word + 4) 1.2 s after the word ends.
        {"lagging", following(truth, 1.2), 1.0, 0, 1.2, 0},
        // Never moves: only the first four words lie within ±3 and no word is reached (even
        // the first needs the current word on the word after it).
        {"stuck", {}, 4.0 / 19, 0, 0.0, 19},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ReadingScore s = scoreOf(truth, c.moves);
        EXPECT_EQ(s.speechSamples, 19 * 40);
        EXPECT_NEAR(s.withinFraction(), c.within, 0.01);
        EXPECT_EQ(s.backwardMoves, c.backward);
        EXPECT_NEAR(FollowSummary::percentile(s.latenciesSeconds, 50), c.medianLatency, 1e-6);
        EXPECT_EQ(s.unreachedWords, c.unreached);
        EXPECT_TRUE(s.recoveryWords.empty());
    }
}

TEST(FollowScorerTest, BackwardJumpIsCountedAndCostsTheBand) {
    const SpeechTruth truth = truthOf(straight(0, 18));
    auto moves = following(truth, 0.1);
    // At 5 s (word 8 being spoken) the follower leaps back to word 1, then resumes at word 10.
    moves.push_back({5.05, offsetOf(1)});
    std::sort(moves.begin(), moves.end(), [](auto& a, auto& b) { return a.seconds < b.seconds; });
    const ReadingScore s = scoreOf(truth, moves);
    EXPECT_EQ(s.backwardMoves, 1);
    EXPECT_LT(s.withinFraction(), 1.0);
    EXPECT_GT(s.withinFraction(), 0.9);
}

TEST(FollowScorerTest, RecoveryAfterSkipAndReRead) {
    struct Case {
        const char* name;
        std::vector<long> spoken;
        double delaySeconds;
        int words;
    };
    std::vector<long> skip = straight(0, 4);
    for (long i : straight(12, 19)) skip.push_back(i);
    std::vector<long> reread = straight(0, 12);
    for (long i : straight(3, 19)) reread.push_back(i);
    const Case cases[] = {
        // Back within ±3 once the first word after the jump is heard (0.2 s after it ends,
        // while the second is spoken): two spoken words.
        {"skip, quick follower", skip, 0.2, 2},
        {"re-read, quick follower", reread, 0.2, 2},
        {"skip, follower 1.2 s late", skip, 1.2, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SpeechTruth truth = truthOf(c.spoken);
        const ReadingScore s = scoreOf(truth, following(truth, c.delaySeconds));
        ASSERT_EQ(s.recoveryWords.size(), 1u);
        EXPECT_EQ(s.recoveryWords[0], c.words);
        EXPECT_EQ(s.unrecovered, 0);
    }
    const SpeechTruth truth = truthOf(skip);
    const ReadingScore stuck = scoreOf(truth, {{2.0, offsetOf(3)}});
    EXPECT_EQ(stuck.unrecovered, 1);
}

TEST(FollowScorerTest, RemarkDriftAndNumbersReadAloud) {
    // Words 0-5, a four-word remark, then words 6-12; word 9 is read aloud as three words.
    std::vector<long> spoken = straight(0, 5);
    spoken.insert(spoken.end(), {-1, -1, -1, -1, 6, 7, 8, 9, 9, 9, 10, 11, 12});
    const SpeechTruth truth = truthOf(spoken);
    auto moves = following(truth, 0.1);
    const ReadingScore steady = scoreOf(truth, moves);
    EXPECT_EQ(steady.remarks, 1);
    EXPECT_LE(steady.remarkDriftWords, 1);  // only the resumed word moves it
    EXPECT_TRUE(steady.recoveryWords.empty());
    EXPECT_EQ(steady.latenciesSeconds.size() + steady.unreachedWords, 13u);
    // Remark words are not scored; the number's three words count as one long word.
    EXPECT_EQ(steady.speechSamples, 12 * 40 + 140);

    // The remark dragged the follower five words ahead.
    moves.push_back({4.2, offsetOf(11)});
    std::sort(moves.begin(), moves.end(), [](auto& a, auto& b) { return a.seconds < b.seconds; });
    EXPECT_EQ(scoreOf(truth, moves).remarkDriftWords, 5);
}

TEST(FollowScorerTest, TimeAheadAndBehindAreApartAndAheadIsNoLatency) {
    // Sixty words, "a a a ...": word i still starts at byte 2 i. The reader reads 0-40.
    std::string longScript = "a";
    for (int i = 1; i < 60; ++i) longScript += " a";
    const SpeechTruth truth = truthOf(straight(0, 40));
    const auto follower = [&](long stopAfter, long holdAt, long resumeWith) {
        // Follows until word `stopAfter`, then holds on `holdAt` until the reader says
        // `resumeWith`, then follows again.
        std::vector<FollowMove> moves;
        for (const auto& w : truth.words) {
            const long i = w.scriptOffset / 2;
            if (i <= stopAfter || i >= resumeWith)
                moves.push_back({w.endSeconds + 0.1, w.scriptOffset + 2});
            if (i == stopAfter) moves.push_back({w.endSeconds + 0.1, offsetOf(holdAt)});
        }
        std::stable_sort(moves.begin(), moves.end(),
                         [](auto& a, auto& b) { return a.seconds < b.seconds; });
        return moves;
    };
    struct Case {
        const char* name;
        std::vector<FollowMove> moves;
        int aheadSamples, behindSamples, farAheadSamples;
        double longestFarSeconds;
        int aheadWords, latencyWords, unreachedWords;
    };
    const Case cases[] = {
        // From word 11 on the text waits at word 35 for the reader: words 11-31 are spoken
        // more than 3 words behind it, 11-14 more than 20; the stretch far ahead runs from
        // word 11's start to word 14's end (1.9 s with the pauses between words). Words
        // 11-34 were reached before they were spoken: no latency of theirs is counted, the
        // rest (0-10, 35-40) took 0.1 s each.
        {"runaway", follower(10, 35, 35), 21 * 40, 0, 4 * 40, 1.9, 24, 17, 0},
        // The text stays on word 11 until word 18 is heard: words 15-18 are spoken more than
        // 3 words ahead of it; it then leaps to word 19, past the bands of words 11-14.
        {"stuck behind", follower(10, 11, 18), 0, 4 * 40, 0, 0.0, 0, 37, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ReadingScore s = FollowScorer(ScriptWords(longScript), truth, 1).score(c.moves);
        EXPECT_EQ(s.speechSamples, 41 * 40);
        EXPECT_EQ(s.aheadSamples, c.aheadSamples);
        EXPECT_EQ(s.behindSamples, c.behindSamples);
        EXPECT_EQ(s.withinSamples + s.aheadSamples + s.behindSamples, s.speechSamples);
        EXPECT_EQ(s.farAheadSamples, c.farAheadSamples);
        EXPECT_NEAR(s.longestFarAheadSeconds, c.longestFarSeconds, 1e-6);
        EXPECT_EQ(s.aheadWords, c.aheadWords);
        EXPECT_EQ(static_cast<int>(s.latenciesSeconds.size()), c.latencyWords);
        EXPECT_EQ(s.unreachedWords, c.unreachedWords);
    }
}

TEST(FollowScorerTest, OutputLinesAndOffsets) {
    const FollowLog log = FollowLog::parse(
        "{\"t\": 0.5, \"start\": 4}\n\nnot json\n{\"t\": 1}\n{\"t\": 1.5, \"start\": 7}\n");
    ASSERT_EQ(log.moves.size(), 2u);
    EXPECT_EQ(log.badLines, 2);
    EXPECT_DOUBLE_EQ(log.moves[1].seconds, 1.5);

    const ScriptWords words("  uno, dos\n\ntrés");
    const struct {
        const char* name;
        long offset;
        long index;
    } cases[] = {
        {"before the first word", 0, -1}, {"first byte", 2, 0},       {"inside", 4, 0},
        {"trailing space", 6, 0},         {"multi-byte word", 15, 2}, {"past the end", 18, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(words.indexOfOffset(c.offset), c.index);
    }
}

}  // namespace
}  // namespace vorela::follow
