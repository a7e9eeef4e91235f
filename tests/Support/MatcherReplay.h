#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Matcher/MatcherConfig.h"
#include "Matcher/TranscriptionUpdate.h"
#include "Script/Token.h"
#include "Script/Tokenizer.h"

// A measuring tool for word tracking: readings of a script (clean or perturbed the way
// speakers and weak recognisers perturb them) are turned into the recogniser's stream of
// partial and final results and replayed through a ScriptMatcher driven as the central
// state drives it. Shared by the replay tests and the replay benchmark.
namespace vorela::testing {

// A Spanish speech of eight paragraphs (about 450 words) with amounts, percentages,
// plain numbers and a year.
const std::string& spanishSpeech();
// A short English talk of three paragraphs.
const std::string& englishTalk();

// One word as the speaker says it and the recogniser spells it.
struct SpokenWord {
    std::string text;
    long truth = 0;              // the script token being read; for an ad-lib, the last one read
    bool endsUtterance = false;  // a pause follows, and the recogniser finalises
    bool offScript = false;      // an ad-lib
};

struct Reading {
    std::string name;
    std::vector<SpokenWord> words;
};

// Readings of one tokenised script. Random choices come from the seed, so a reading is
// the same on every run.
class ReadingBuilder {
public:
    ReadingBuilder(std::string text, std::vector<Token> tokens, Tokenizer::Language language,
                   unsigned seed = 7);

    Reading clean() const;
    // About `share` of the words replaced, half by another script word, half misspelt.
    Reading substituted(double share) const;
    Reading dropped(double share) const;
    // The sentence in the middle of the script read twice.
    Reading repeatedSentence() const;
    // The paragraph after the middle one left out.
    Reading skippedParagraph() const;
    // `count` off-script words said after a sentence in the middle.
    Reading adLibbed(int count) const;
    // Numbers said in words ("dieciocho punto cuatro por ciento").
    Reading numbersAsWords() const;

    const std::vector<Token>& tokens() const { return tokens_; }

private:
    std::vector<SpokenWord> straight(long from, long to) const;
    std::vector<long> paragraphStarts() const;
    long sentenceEndNear(long index) const;

    std::string text_;
    std::vector<Token> tokens_;
    Tokenizer::Language language_;
    unsigned seed_;
};

// The recogniser's results for a reading: for each word a partial of the utterance so
// far (and the same partial again 0.05 s later, as engines resend), a final at each
// utterance end, at `wordsPerMinute`.
struct TimedUpdate {
    TranscriptionUpdate update;
    long newestWord = -1;  // index in the reading of the newest word of the update
};
std::vector<TimedUpdate> recogniserStream(const Reading& reading, double startTime,
                                          double wordsPerMinute = 150);

struct ReplayResult {
    std::vector<long> cursorAfterWord;  // the matcher's cursor once each word arrived
    std::vector<long> truth;
    long largestForwardStep = 0;
    long largestBackwardStep = 0;
    int alignments = 0;

    // Share of spoken words after which the cursor lay within `tokens` of where the
    // speaker would go next (the token after the one being read).
    double shareWithin(long tokens) const;
};

// Drives a matcher over the stream as the central state does: every update is ingested,
// and an alignment runs when at least minUpdateInterval has passed since the last try.
ReplayResult replay(std::shared_ptr<const std::vector<Token>> tokens, const Reading& reading,
                    const MatcherConfig& config, Tokenizer::Language language);

}  // namespace vorela::testing
