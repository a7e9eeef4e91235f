#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "Platform/Speech/SpeechAnalyzer.h"

namespace vorela {

struct HypothesisTiming {
    double settleSeconds = 0.1;
    double pauseSeconds = 0.25;
};

// Calms a decoder's raw hypotheses, which rewrite their newest words many times a second:
// a word is passed on once it and every word before it have stood unchanged for
// `settleSeconds` of audio, followed by the one word still changing (the reader of a
// volatile result holds its last word back). A word the decoder rewrites later is passed
// on rewritten, so a reader who starts over on a changed result reads the correction.
// When nothing has changed for `pauseSeconds` the standing words close as a final
// result, so the last word before a pause is not held back until the utterance ends.
// Times are seconds of audio the decoder has consumed. Not thread-safe.
class HypothesisStabilizer {
public:
    using Timing = HypothesisTiming;

    explicit HypothesisStabilizer(Timing timing = {}) : timing_(timing) {}

    // The decoder's newest hypothesis of its open utterance; it takes effect at the next
    // advance(), which carries the time.
    void observe(std::vector<SpeechTextRun> hypothesis);
    // The decoder has consumed audio up to `audioSeconds`; the result to pass on, if any.
    std::optional<SpeechAnalyzerResult> advance(double audioSeconds);
    // The decoder closed its utterance with `finalRuns` (nothing when it died: its last
    // hypothesis then): the final result, less the words closed at pauses. Starts over.
    SpeechAnalyzerResult close(std::optional<std::vector<SpeechTextRun>> finalRuns);
    void reset();

private:
    std::size_t passedOn() const { return closedWords_ + settled_; }
    std::vector<SpeechTextRun> words(std::size_t from, std::size_t to) const;

    Timing timing_;
    std::vector<SpeechTextRun> hypothesis_;
    std::vector<double> since_;  // when each word, with every word before it, last changed
    std::optional<std::vector<SpeechTextRun>> pending_;
    double lastChange_ = 0;
    std::size_t closedWords_ = 0;  // of the decoder's utterance, closed at pauses
    std::size_t settled_ = 0;      // words after the closed ones that stand unchanged
    std::vector<SpeechTextRun> lastSent_;
};

}  // namespace vorela
