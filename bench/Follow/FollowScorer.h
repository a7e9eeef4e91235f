#pragma once

#include <string>
#include <vector>

#include "ScriptWords.h"
#include "SpeechTruth.h"

namespace vorela::follow {

// One line of the follower's output: from `seconds` into the audio on, the current word is
// the script word holding byte `startOffset`.
struct FollowMove {
    double seconds = 0;
    long startOffset = 0;
};

struct ReadingScore {
    int speechSamples = 0;                 // 10 ms samples while a script word was being spoken
    int withinSamples = 0;                 // ... of which the current word lay within ±3 words
    int aheadSamples = 0;                  // ... more than 3 words ahead of the spoken word
    int behindSamples = 0;                 // ... more than 3 words behind it
    int farAheadSamples = 0;               // ... more than 20 words ahead
    double longestFarAheadSeconds = 0;     // longest stretch more than 20 words ahead
    int backwardMoves = 0;                 // moves back by more than one word
    std::vector<double> latenciesSeconds;  // per script word reached after it was spoken
    int aheadWords = 0;                    // script words reached before they were spoken
    int unreachedWords = 0;
    std::vector<int> recoveryWords;  // per skip or re-read: spoken words until back within ±3
    int unrecovered = 0;             // skips or re-reads never recovered from
    int remarks = 0;                 // off-script remarks
    int remarkDriftWords = 0;        // largest move during any remark

    double withinFraction() const { return shareOfSpeech(withinSamples); }
    double shareOfSpeech(int samples) const {
        return speechSamples == 0 ? 0.0 : static_cast<double>(samples) / speechSamples;
    }
};

// Scores a follower against the truth of one reading. The current word before the follower's
// first line is the script's first word, as a prompter starts at the top.
//
// `leadWords` is how far the follower's current word runs ahead of the last word it heard
// (1 for a cursor on the word after the matched one): a script word counts as reached once
// the current word lies in [word + lead, word + lead + 3], and its latency runs from the end
// of its audio to that moment (never below zero). A word whose band the current word had
// already reached or passed when the word began to be spoken is "ahead", not a latency: the
// text ran ahead of the reader there.
//
// A stretch more than 20 words ahead runs from the first spoken sample that far ahead to the
// last one before a spoken sample that is not; pauses and off-script speech inside it count.
class FollowScorer {
public:
    static constexpr double kSampleSeconds = 0.01;
    static constexpr int kToleranceWords = 3;
    static constexpr int kFarWords = 20;

    FollowScorer(const ScriptWords& script, const SpeechTruth& truth, int leadWords = 1);

    ReadingScore score(const std::vector<FollowMove>& moves) const;

private:
    struct Spoken {
        long index = -1;  // script word index, -1 off script
        double start = 0;
        double end = 0;
    };
    struct Track;  // the follower's current word over time

    void scoreLatency(const Track& track, ReadingScore& out) const;
    void scoreJumps(const Track& track, ReadingScore& out) const;
    void scoreRemarks(const Track& track, ReadingScore& out) const;
    long spokenIndexAt(double t) const;

    ScriptWords script_;
    long lastIndex_ = 0;
    int leadWords_ = 1;
    double durationSeconds_ = 0;
    std::vector<Spoken> spoken_;
};

}  // namespace vorela::follow
