#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "Platform/Speech/PocketSphinx/HypothesisStabilizer.h"

namespace vorela {
namespace {

// "a b c" as the decoder's runs, each word starting a tenth of a second after the last.
std::vector<SpeechTextRun> runs(const std::string& text) {
    std::vector<SpeechTextRun> result;
    std::istringstream in(text);
    std::string word;
    for (double start = 0; in >> word; start += 0.1) result.push_back({word + " ", start});
    return result;
}

std::string words(const SpeechAnalyzerResult& result) {
    std::string text;
    for (const auto& run : result.runs) text += run.text;
    if (!text.empty()) text.pop_back();
    return (result.isFinal ? "final: " : "") + text;
}

// "-" for no result; several results joined by " | ", oldest first.
std::string words(const HypothesisStabilizer::Results& results) {
    std::string text;
    for (const auto& result : results) text += (text.empty() ? "" : " | ") + words(result);
    return text.empty() ? "-" : text;
}

// Feeds hypotheses at given audio times and records what comes out; a step without a
// hypothesis only lets time pass.
struct Step {
    double at;
    const char* hypothesis;  // nullptr: no new hypothesis
    const char* expected;    // "-" when nothing is passed on
};

void play(HypothesisStabilizer& stabilizer, const std::vector<Step>& steps) {
    for (const auto& step : steps) {
        SCOPED_TRACE(::testing::Message() << "at " << step.at << " s");
        if (step.hypothesis) stabilizer.observe(runs(step.hypothesis));
        EXPECT_EQ(words(stabilizer.advance(step.at)), step.expected);
    }
}

TEST(HypothesisStabilizerTest, PassesOnWordsOnceTheyStandFollowedByTheOneStillChanging) {
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"a word is passed on as the volatile last one until it stands",
         {{1.00, "good", "good"},
          {1.05, "good evening", "-"},      // "good" is still the word that may change
          {1.15, nullptr, "good evening"},  // it stood 0.15 s: the next word follows it
          {1.20, nullptr, "-"},             // "evening" stands too, nothing new to say
          {1.21, "good evening every", "good evening every"},
          {1.22, "good evening every", "-"},  // the decoder repeats itself: no new result
          {1.23, "good evening every", "-"},
          {1.36, nullptr, "-"}}},
        {"a rewritten word restarts its wait, and every word after it",
         {{1.00, "the", "the"},
          {1.10, "good", "good"},
          {1.20, "good evening", "-"},
          {1.25, nullptr, "good evening"},
          {1.30, "good heaven", "good heaven"},
          {1.40, "good evening", "good evening"},
          {1.55, nullptr, "-"},
          {1.70, nullptr, "final: good evening"}}},
        // The reader took "the"; reading the rewrite from its first word would hear that
        // stretch of audio twice, so the last partial closes and the next words go on.
        {"a rewrite of a word the reader took ends the hypothesis, the next begins after it",
         {{1.00, "the evening", "the"},
          {1.20, nullptr, "the evening"},
          {1.25, "good evening every", "final: the evening | every"},
          {1.40, nullptr, "-"},
          {1.55, nullptr, "final: every"}}},
        {"a held-back word the decoder drops is no rewrite, and no pause closes what was taken",
         {{1.00, "a b", "a"},
          {1.20, nullptr, "a b"},
          {1.25, "a", "-"},  // the reader holds "a" already; one word would read as new
          {1.60, nullptr, "-"},
          {1.70, "a d", "a d"}}},
        {"a pause closes the words that stand as a final result",
         {{1.00, "thank you", "thank"},
          {1.20, nullptr, "thank you"},
          {1.25, nullptr, "-"},
          {1.30, nullptr, "final: thank you"},
          {1.80, nullptr, "-"},
          // The decoder's utterance goes on: only the words after the closed ones count.
          {2.00, "thank you for", "for"},
          {2.20, "thank you for coming", "for coming"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HypothesisStabilizer stabilizer({.settleSeconds = 0.15, .pauseSeconds = 0.3});
        play(stabilizer, c.steps);
    }
}

TEST(HypothesisStabilizerTest, TheDecodersEndOfUtteranceIsFinalLessTheWordsClosedAtPauses) {
    HypothesisStabilizer stabilizer({.settleSeconds = 0.15, .pauseSeconds = 0.3});
    play(stabilizer, {{1.00, "the road", "the"}, {1.20, "the road a", "the road a"}});
    EXPECT_EQ(words(stabilizer.close(runs("the road ahead"))), "final: the road ahead");
    EXPECT_EQ(words(stabilizer.close(runs("they road ahead"))), "final: they road ahead")
        << "a close starts over";

    play(stabilizer, {{3.00, "the rain", "the"}, {3.20, nullptr, "the rain"}});
    EXPECT_EQ(words(stabilizer.close(runs("a rain"))), "final: the rain")
        << "a final that rewrites a word the reader took closes what it was handed";

    // Words closed at a pause are not said again.
    play(stabilizer, {{4.00, "we will", "we"}, {4.40, nullptr, "final: we will"}});
    EXPECT_EQ(words(stabilizer.close(runs("we will talk"))), "final: talk");

    // A decoder that died closes with its last hypothesis.
    play(stabilizer, {{5.00, "seven green", "seven"}});
    stabilizer.observe(runs("seven green bottles"));
    EXPECT_EQ(words(stabilizer.close(std::nullopt)), "final: seven green bottles");

    // A final shorter than what the reader took would be read again from its first word.
    play(stabilizer, {{6.00, "one two three", "one"}, {6.20, nullptr, "one two three"}});
    EXPECT_EQ(words(stabilizer.close(runs("one two"))), "final: one two three");
    // Words after a rewritten stretch close as a hypothesis of their own.
    play(stabilizer, {{7.00, "x y z", "x"}, {7.20, nullptr, "x y z"}});
    EXPECT_EQ(words(stabilizer.close(runs("x q z w v"))), "final: x y z | final: w v");
    EXPECT_EQ(words(stabilizer.close(runs(""))), "-") << "nothing open, nothing to close";
}

}  // namespace
}  // namespace vorela
