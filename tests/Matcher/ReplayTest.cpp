#include <gtest/gtest.h>

#include "Support/MatcherReplay.h"
#include "Voice/VoiceProfile.h"

namespace vorela {
namespace {

using testing::ReadingBuilder;

struct Script {
    const char* name;
    const std::string& text;
    Tokenizer::Language language;
};

MatcherConfig tunedFor(double wer) {
    VoiceProfile profile;
    profile.measuredWER = wer;
    return profile.tuned(MatcherConfig{});
}

// What the matcher promises on a clean reading: the cursor follows the speaker word by
// word, never moves backwards and never jumps, with every configuration tuning can give.
TEST(ReplayTest, ACleanReadingIsFollowedWordByWord) {
    const Script scripts[] = {
        {"Spanish speech", testing::spanishSpeech(), Tokenizer::Language::spanish},
        {"English talk", testing::englishTalk(), Tokenizer::Language::english},
    };
    const struct {
        const char* name;
        MatcherConfig config;
    } configs[] = {
        {"start-up", MatcherConfig{}},
        {"tuned for poor recognition", tunedFor(0.3)},
        {"tuned for very good recognition", tunedFor(0.02)},
    };
    for (const auto& script : scripts) {
        const auto tokens = std::make_shared<const std::vector<Token>>(
            Tokenizer(script.language).tokenize(script.text));
        const ReadingBuilder builder(script.text, *tokens, script.language);
        const auto reading = builder.clean();
        for (const auto& c : configs) {
            SCOPED_TRACE(std::string(script.name) + ", " + c.name);
            const auto result = testing::replay(tokens, reading, c.config, script.language);
            ASSERT_EQ(result.truth.size(), tokens->size());
            EXPECT_EQ(result.shareWithin(1), 1.0);
            EXPECT_EQ(result.largestBackwardStep, 0);
            EXPECT_LE(result.largestForwardStep, 2);
            EXPECT_EQ(result.cursorAfterWord.back(), static_cast<long>(tokens->size()) - 1);
        }
    }
}

// Numbers said in words match the digits through their spoken variants: the cursor
// crosses each number without losing the speaker or jumping. Several heard words meet
// one token there, so the cursor may settle back a token or two.
TEST(ReplayTest, NumbersReadAsWordsAreFollowed) {
    const auto& text = testing::spanishSpeech();
    const auto tokens = std::make_shared<const std::vector<Token>>(
        Tokenizer(Tokenizer::Language::spanish).tokenize(text));
    const ReadingBuilder builder(text, *tokens, Tokenizer::Language::spanish);
    const auto result = testing::replay(tokens, builder.numbersAsWords(), MatcherConfig{},
                                        Tokenizer::Language::spanish);
    EXPECT_GE(result.shareWithin(3), 0.98);
    EXPECT_LE(result.largestBackwardStep, 2);
    EXPECT_LE(result.largestForwardStep, 3);
}

// A skipped paragraph lies beyond the search window: the matcher finds the speaker once
// it is lost and its widened window has seen the new place twice. A re-read sentence lies
// behind the back limit: the cursor waits, and once lost goes back no farther than the
// lost search reaches, then follows the speaker again.
TEST(ReplayTest, ASkipIsFoundOnceLostAndAReReadWaitsForTheSpeaker) {
    const auto& text = testing::spanishSpeech();
    const auto tokens = std::make_shared<const std::vector<Token>>(
        Tokenizer(Tokenizer::Language::spanish).tokenize(text));
    const ReadingBuilder builder(text, *tokens, Tokenizer::Language::spanish);
    const struct {
        const char* name;
        testing::Reading reading;
        std::size_t recovery;  // words after the edit until the cursor is within 3 again
        long backward;
    } cases[] = {
        {"re-read sentence", builder.repeatedSentence(), 20, MatcherConfig{}.recoverBack},
        {"skipped paragraph", builder.skippedParagraph(), 15, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result =
            testing::replay(tokens, c.reading, MatcherConfig{}, Tokenizer::Language::spanish);
        const auto& truth = result.truth;
        std::size_t edit = 1;
        while (edit < truth.size() && std::labs(truth[edit] - truth[edit - 1] - 1) <= 1) ++edit;
        ASSERT_LT(edit, truth.size());
        std::size_t back = edit;
        while (back < truth.size() && std::labs(result.cursorAfterWord[back] - truth[back] - 1) > 3)
            ++back;
        EXPECT_LE(back - edit + 1, c.recovery);
        EXPECT_LE(result.largestBackwardStep, c.backward);
        EXPECT_EQ(result.cursorAfterWord.back(), static_cast<long>(tokens->size()) - 1);
    }
}

}  // namespace
}  // namespace vorela
