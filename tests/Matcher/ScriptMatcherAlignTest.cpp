#include <gtest/gtest.h>

#include "Matcher/ScriptMatcher.h"
#include "Support/MatcherScripts.h"

namespace vorela {
namespace {

using testing::distinctWords;
using testing::tokensFromWords;
using Words = std::vector<std::string>;

constexpr double kProximityAt1 = 0.2 * (1.0 - 1.0 / 45.0);

class ScriptMatcherAlignTest : public ::testing::Test {
protected:
    void load(Words words, MatcherConfig config = {}) {
        words_ = std::move(words);
        matcher_.setConfig(config);
        matcher_.setTokens(tokensFromWords(words_));
        matcher_.reset(0);
    }
    // The script's words from `first` to `last` (inclusive) heard as one final result,
    // after `garbage` words that match nothing.
    void hear(long first, long last, int garbage = 0) {
        Words heard;
        for (int g = 0; g < garbage; ++g) heard.push_back("zqzqx" + std::to_string(g));
        for (long i = first; i <= last; ++i) heard.push_back(words_[static_cast<std::size_t>(i)]);
        matcher_.ingest({heard, true, std::nullopt, now_}, Tokenizer::Language::spanish, now_);
    }
    std::optional<long> alignAt(double now) {
        now_ = now;
        return matcher_.align(now);
    }
    void makeLost() {
        hear(0, -1, 6);
        alignAt(now_);
        alignAt(now_ + matcher_.config().lostTimeout);
        ASSERT_EQ(matcher_.state(), MatchState::lost);
    }

    Words words_;
    ScriptMatcher matcher_;
    double now_ = 100;
};

TEST_F(ScriptMatcherAlignTest, SixMatchedWordsNextToTheCursorScoreOnePlusTheBonus) {
    load(distinctWords(60));
    matcher_.reset(16);
    hear(10, 15);
    EXPECT_EQ(alignAt(101), 16);
    EXPECT_DOUBLE_EQ(matcher_.lastScore(), 1.0 + kProximityAt1);
    EXPECT_EQ(matcher_.confirmed(), 15);
    EXPECT_EQ(matcher_.state(), MatchState::locked);
    EXPECT_EQ(matcher_.lastMatchTime(), 101);
    EXPECT_EQ(matcher_.searchingSince(), std::nullopt);
}

TEST_F(ScriptMatcherAlignTest, GradesExactVariantPhoneticNearAndMiss) {
    // One heard word against the token at the cursor, without proximity bonus and with
    // every score accepted, so the score is the grade (a miss costs the gap penalty).
    MatcherConfig config;
    config.proximityBonus = 0;
    config.thetaLock = -1;
    struct Case {
        const char* name;
        const char* tokenText;
        const char* heard;
        double expected;
    } cases[] = {
        {"same word", "camino", "Camino", 1.0},
        {"spoken number word", "Q92", "noventa", 1.0},
        {"digits of a number", "18.4%", "18.4", 1.0},
        {"same sound", "bamos", "vamos", 0.85},
        {"near miss", "presidente", "presidenta", 0.7},
        {"five bytes one apart is no near miss", "perro", "perra", -0.15},
        {"empty phonetic keys never match", "hh", "h", -0.15},
        {"unrelated", "camino", "zorro", -0.15},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Words words = distinctWords(8);
        load(words, config);
        auto tokens = tokensFromWords(words);
        auto edited = std::make_shared<std::vector<Token>>(*tokens);
        (*edited)[3] = Tokenizer(Tokenizer::Language::spanish).tokenize(c.tokenText).at(0);
        (*edited)[3].index = 3;
        matcher_.setTokens(edited);
        matcher_.reset(3);
        matcher_.ingest({{c.heard}, true, std::nullopt, 0}, Tokenizer::Language::spanish, 1);
        matcher_.align(1);
        EXPECT_DOUBLE_EQ(matcher_.lastScore(), c.expected);
    }
}

TEST_F(ScriptMatcherAlignTest, TiesGoToTheLowestIndex) {
    Words words = distinctWords(40);
    for (long i = 0; i < 3; ++i)
        words[static_cast<std::size_t>(13 + i)] = words[static_cast<std::size_t>(5 + i)];
    load(words);
    matcher_.reset(10);  // 7 and 15 lie three tokens from the cursor
    hear(5, 7);
    EXPECT_EQ(alignAt(101), 8);
    EXPECT_EQ(matcher_.confirmed(), 7);
}

TEST_F(ScriptMatcherAlignTest, HeardWordsBeforeTheScriptCountAsMisses) {
    MatcherConfig config;
    config.proximityBonus = 0;
    load(distinctWords(30), config);
    hear(0, 2, 3);
    EXPECT_EQ(alignAt(101), 3);
    EXPECT_DOUBLE_EQ(matcher_.lastScore(), 15.0 / 21.0 - 0.5 * 0.15);
}

TEST_F(ScriptMatcherAlignTest, BehindTheCursorEverySearchedPositionMayBeAccepted) {
    // `back` behind while not lost; while lost the whole reach of the lost search, so a
    // reader the text ran ahead of, heard word for word, is found again.
    struct Case {
        const char* name;
        MatchState state;
        long behind;
        bool accepted;
    } cases[] = {
        {"searching, six behind", MatchState::searching, 6, true},
        {"searching, seven behind", MatchState::searching, 7, false},
        {"locked, eight behind", MatchState::locked, 8, false},
        {"lost, six behind", MatchState::lost, 6, true},
        {"lost, ten behind", MatchState::lost, 10, true},
        {"lost, fifteen behind", MatchState::lost, 15, true},
        {"lost, sixteen behind", MatchState::lost, 16, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const long cursor = 60;
        const long best = cursor - c.behind;
        load(distinctWords(120));
        matcher_.reset(c.state == MatchState::locked ? cursor - 2 : cursor);
        if (c.state == MatchState::locked) {
            hear(cursor - 3, cursor - 1);
            ASSERT_EQ(alignAt(now_), cursor);
        }
        if (c.state == MatchState::lost) makeLost();
        hear(best - 5, best);
        const auto result = alignAt(now_ + 1);
        if (c.accepted) {
            EXPECT_EQ(result, best + 1);
            EXPECT_EQ(matcher_.state(), MatchState::locked);
        } else {
            EXPECT_EQ(result, std::nullopt);
            EXPECT_EQ(matcher_.state(),
                      c.state == MatchState::lost ? MatchState::lost : MatchState::searching);
            EXPECT_EQ(matcher_.cursor(), cursor);
        }
    }
}

TEST_F(ScriptMatcherAlignTest, AFarJumpNeedsASecondSightingNearTheFirst) {
    struct Case {
        const char* name;
        long second;
        bool accepted;
    } cases[] = {
        {"two before", 23, true},    {"same place", 25, true},   {"two after", 27, true},
        {"three before", 22, false}, {"three after", 28, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        load(distinctWords(200));
        hear(20, 25);
        EXPECT_EQ(alignAt(101), std::nullopt);
        EXPECT_EQ(matcher_.pendingJump(), (ScriptMatcher::PendingJump{25, 1}));
        // Jump bookkeeping leaves the state alone.
        EXPECT_EQ(matcher_.state(), MatchState::searching);
        EXPECT_EQ(matcher_.searchingSince(), std::nullopt);

        hear(c.second - 5, c.second);
        const auto result = alignAt(101.1);
        if (c.accepted) {
            EXPECT_EQ(result, c.second + 1);
            EXPECT_EQ(matcher_.pendingJump(), std::nullopt);
        } else {
            EXPECT_EQ(result, std::nullopt);
            EXPECT_EQ(matcher_.pendingJump(), (ScriptMatcher::PendingJump{c.second, 1}));
        }
    }
}

TEST_F(ScriptMatcherAlignTest, JumpConfirmationsCountSightingsButNeverFewerThanTwo) {
    MatcherConfig one;
    one.jumpConfirmations = 1;
    load(distinctWords(200), one);
    hear(20, 25);
    EXPECT_EQ(alignAt(101), std::nullopt);
    hear(21, 26);
    EXPECT_EQ(alignAt(101.1), 27);

    MatcherConfig three;
    three.jumpConfirmations = 3;
    load(distinctWords(200), three);
    hear(20, 25);
    EXPECT_EQ(alignAt(101), std::nullopt);
    hear(22, 27);
    EXPECT_EQ(alignAt(101.1), std::nullopt);
    EXPECT_EQ(matcher_.pendingJump(), (ScriptMatcher::PendingJump{27, 2}));
    // 29 is within two of the latest sighting, not of the first.
    hear(24, 29);
    EXPECT_EQ(alignAt(101.2), 30);
}

TEST_F(ScriptMatcherAlignTest, AFarJumpAtScoreEightTenthsNeedsASecondGoodSighting) {
    // Without the proximity bonus, four exact newest words after two misses score
    // 18/21 - 2/6 x 0.15 = 0.807.
    MatcherConfig config;
    config.proximityBonus = 0;
    struct Case {
        const char* name;
        long second;
        int misses;  // oldest heard words of the second sighting that match nothing
        bool accepted;
    } cases[] = {
        {"23 ahead", 23, 2, true},
        {"27 ahead", 27, 2, true},
        {"25 ahead, below thetaJump", 25, 3, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        load(distinctWords(200), config);
        hear(22, 25, 2);
        EXPECT_EQ(alignAt(101), std::nullopt);
        EXPECT_NEAR(matcher_.lastScore(), 0.807, 0.001);
        EXPECT_EQ(matcher_.pendingJump(), (ScriptMatcher::PendingJump{25, 1}));
        hear(c.second - 5 + c.misses, c.second, c.misses);
        EXPECT_EQ(alignAt(101.1), c.accepted ? std::optional<long>(c.second + 1) : std::nullopt);
        if (!c.accepted) {
            EXPECT_EQ(matcher_.pendingJump(), (ScriptMatcher::PendingJump{25, 1}))
                << "a weak sighting neither counts nor clears the pending jump";
            EXPECT_EQ(matcher_.searchingSince(), 101.1);
        }
    }
}

TEST_F(ScriptMatcherAlignTest, AJumpLiesMoreThanTheGuardAheadWhateverTheTime) {
    struct Case {
        const char* name;
        long to;  // newest heard word; the cursor is at 16
        bool atOnce;
    } cases[] = {
        {"twenty ahead", 36, true},
        {"twenty-one ahead", 37, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        load(distinctWords(200));
        matcher_.reset(16);
        hear(10, 15);
        ASSERT_EQ(alignAt(101), 16);
        hear(c.to - 5, c.to);
        EXPECT_EQ(alignAt(101.1), c.atOnce ? std::optional<long>(c.to + 1) : std::nullopt);
    }
}

TEST_F(ScriptMatcherAlignTest, OnePieceOfEvidenceIsOneSighting) {
    // The same heard window aligned again adds nothing.
    load(distinctWords(200));
    hear(20, 25);
    EXPECT_EQ(alignAt(101), std::nullopt);
    EXPECT_EQ(alignAt(101.1), std::nullopt);
    EXPECT_EQ(matcher_.pendingJump(), (ScriptMatcher::PendingJump{25, 1}));
    hear(26, 26);
    EXPECT_EQ(alignAt(101.2), 27) << "a newly heard word is a second sighting";

    // A partial and then its final with the same words: one utterance, one sighting,
    // although the final brings the partial's held-back word.
    load(distinctWords(200));
    const Words phrase(words_.begin() + 20, words_.begin() + 27);
    matcher_.ingest({phrase, false, std::nullopt, 0}, Tokenizer::Language::spanish, 101);
    EXPECT_EQ(alignAt(101), std::nullopt);
    EXPECT_EQ(matcher_.pendingJump(), (ScriptMatcher::PendingJump{25, 1}));
    matcher_.ingest({phrase, true, std::nullopt, 0}, Tokenizer::Language::spanish, 101.5);
    EXPECT_EQ(alignAt(101.5), std::nullopt);
    EXPECT_EQ(matcher_.pendingJump(), (ScriptMatcher::PendingJump{25, 1}));
    EXPECT_EQ(matcher_.cursor(), 0);

    // A final that adds to its partial brings new words.
    load(distinctWords(200));
    matcher_.ingest({phrase, false, std::nullopt, 0}, Tokenizer::Language::spanish, 101);
    EXPECT_EQ(alignAt(101), std::nullopt);
    Words longer = phrase;
    longer.push_back(words_[27]);
    matcher_.ingest({longer, true, std::nullopt, 0}, Tokenizer::Language::spanish, 101.5);
    EXPECT_EQ(alignAt(101.5), 28);
}

TEST_F(ScriptMatcherAlignTest, AWeakJumpFailsAndASightingKeepsALockedState) {
    load(distinctWords(200));
    hear(23, 25, 3);  // only the newest three words match 25: 0.728 < thetaJump
    EXPECT_EQ(alignAt(101), std::nullopt);
    EXPECT_EQ(matcher_.pendingJump(), std::nullopt);
    EXPECT_EQ(matcher_.searchingSince(), 101);

    matcher_.reset(0);
    hear(0, 5);
    ASSERT_EQ(alignAt(102), 6);
    hear(28, 33);
    EXPECT_EQ(alignAt(102.1), std::nullopt);
    EXPECT_EQ(matcher_.state(), MatchState::locked);
    EXPECT_EQ(matcher_.searchingSince(), std::nullopt);
}

TEST_F(ScriptMatcherAlignTest, TheCursorStaysAtTheLastToken) {
    load(distinctWords(20));
    matcher_.reset(15);
    hear(14, 19);
    EXPECT_EQ(alignAt(101), 19);
    EXPECT_EQ(matcher_.confirmed(), 19);
    EXPECT_EQ(alignAt(101.1), 19);
    EXPECT_EQ(matcher_.cursor(), 19);
}

TEST_F(ScriptMatcherAlignTest, LostExactlyAtTheTimeoutAndUntilAnAcceptanceOrReset) {
    MatcherConfig config;
    config.proximityBonus = 0;  // so that three matched words score 0.639
    load(distinctWords(60), config);
    hear(0, -1, 6);
    alignAt(100);
    EXPECT_EQ(matcher_.state(), MatchState::searching);
    EXPECT_EQ(matcher_.searchingSince(), 100);
    alignAt(102.4999);
    EXPECT_EQ(matcher_.state(), MatchState::searching);
    alignAt(102.5);
    EXPECT_EQ(matcher_.state(), MatchState::lost);
    alignAt(500);
    EXPECT_EQ(matcher_.state(), MatchState::lost);
    EXPECT_EQ(matcher_.searchingSince(), 100);

    // Above thetaLock but below thetaRecover: refused while lost.
    hear(3, 5, 3);
    EXPECT_EQ(alignAt(501), std::nullopt);
    EXPECT_DOUBLE_EQ(matcher_.lastScore(), 15.0 / 21.0 - 0.075);
    EXPECT_EQ(matcher_.state(), MatchState::lost);

    hear(0, 5);
    EXPECT_EQ(alignAt(502), 6);
    EXPECT_EQ(matcher_.state(), MatchState::locked);

    // From locked the clock starts again at the first failure.
    hear(0, -1, 6);
    alignAt(503);
    EXPECT_EQ(matcher_.searchingSince(), 503);
    alignAt(505.5);
    EXPECT_EQ(matcher_.state(), MatchState::lost);
    matcher_.reset(0);
    EXPECT_EQ(matcher_.state(), MatchState::searching);
    EXPECT_EQ(matcher_.searchingSince(), std::nullopt);
}

TEST_F(ScriptMatcherAlignTest, WhileLostACandidateThatStartsASentenceWins) {
    Words words = distinctWords(100);
    for (long i = 0; i < 3; ++i)
        words[static_cast<std::size_t>(51 + i)] = words[static_cast<std::size_t>(45 + i)];
    words[52] += ".";  // so candidate 53, the copy's end, starts a sentence
    load(words);

    matcher_.reset(50);
    hear(45, 47, 3);
    EXPECT_EQ(alignAt(101), 48);  // not lost: the tie goes to the lower index

    matcher_.reset(50);
    makeLost();
    hear(45, 47, 3);
    EXPECT_EQ(alignAt(now_ + 1), 54);
}

TEST_F(ScriptMatcherAlignTest, ExactRunsOutOfReachNeverMoveTheCursorAtOnce) {
    // A decoder that cannot hear the reader makes up runs of script words from elsewhere;
    // only the search window and a second sighting decide where the reader is.
    struct Case {
        const char* name;
        bool lost;
        long newest;  // script index of the newest heard word; the cursor is at 60
        bool pending;
    } cases[] = {
        {"re-read ten behind", false, 50, false},
        {"forty behind, lost", true, 20, false},
        {"skip past the search window", false, 120, false},
        {"lost, within the widened window", true, 150, true},
        {"lost, past the widened window", true, 190, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        load(distinctWords(240));
        matcher_.reset(58);
        hear(57, 59);
        ASSERT_EQ(alignAt(now_), 60);
        if (c.lost) makeLost();
        hear(c.newest - 3, c.newest, 2);
        EXPECT_EQ(alignAt(now_ + 0.1), std::nullopt);
        EXPECT_EQ(matcher_.cursor(), 60);
        EXPECT_EQ(matcher_.pendingJump().has_value(), c.pending);
    }
}

}  // namespace
}  // namespace vorela
