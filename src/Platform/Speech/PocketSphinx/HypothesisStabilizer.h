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

// Shapes a decoder's raw hypotheses, which rewrite their newest words many times a second,
// into the results a reader of positional hypotheses expects: each partial repeats the
// hypothesis so far, its last word the one that may still change, and a final closes it.
// - A word is passed on once it and every word before it have stood unchanged for
//   `settleSeconds` of audio, followed by the one word still changing; a result is passed
//   on only when its words differ from the last one.
// - When the decoder rewrites a word the reader has already taken (every word of the last
//   partial but its last), that hypothesis ends: the last partial is repeated as a final,
//   and a new hypothesis begins at the decoder's first word after it. The rewritten words
//   are not passed on again: their audio has been heard once already.
// - When nothing has changed for `pauseSeconds`, the standing words close as a final.
// Times are seconds of audio the decoder has consumed. Not thread-safe.
class HypothesisStabilizer {
public:
    using Timing = HypothesisTiming;
    using Results = std::vector<SpeechAnalyzerResult>;

    explicit HypothesisStabilizer(Timing timing = {}) : timing_(timing) {}

    // The decoder's newest hypothesis of its open utterance; it takes effect at the next
    // advance(), which carries the time.
    void observe(std::vector<SpeechTextRun> hypothesis);
    // The decoder has consumed audio up to `audioSeconds`: the results to pass on, oldest
    // first (none most of the time).
    Results advance(double audioSeconds);
    // The decoder closed its utterance with `finalRuns` (nothing when it died: its last
    // hypothesis then): the finals that close what is still open. Starts over.
    Results close(std::optional<std::vector<SpeechTextRun>> finalRuns);
    void reset();

private:
    std::size_t passedOn() const { return closedWords_ + settled_; }
    // Words of the open hypothesis the reader has taken: all of the last partial but the
    // word it holds back.
    std::size_t taken() const { return lastSent_.empty() ? 0 : lastSent_.size() - 1; }
    std::vector<SpeechTextRun> words(std::size_t from, std::size_t to) const;
    // Ends the open hypothesis with its last partial as a final; the next starts after it.
    SpeechAnalyzerResult endHypothesis();
    void take(std::vector<SpeechTextRun> hypothesis, double audioSeconds, Results& out);

    Timing timing_;
    std::vector<SpeechTextRun> hypothesis_;
    std::vector<double> since_;  // when each word, with every word before it, last changed
    std::optional<std::vector<SpeechTextRun>> pending_;
    double lastChange_ = 0;
    std::size_t closedWords_ = 0;          // words of the decoder's utterance in closed hypotheses
    std::size_t settled_ = 0;              // words after the closed ones that stand unchanged
    std::vector<SpeechTextRun> lastSent_;  // the open hypothesis's last partial
};

}  // namespace vorela
