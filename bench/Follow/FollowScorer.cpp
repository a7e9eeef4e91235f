#include "FollowScorer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>

namespace vorela::follow {

// The current word as a step function of time: entry k holds from times[k] on.
struct FollowScorer::Track {
    std::vector<double> times{-std::numeric_limits<double>::infinity()};
    std::vector<long> indexes{0};

    long at(double t) const {
        const auto after = std::upper_bound(times.begin(), times.end(), t);
        return indexes[static_cast<std::size_t>(after - times.begin()) - 1];
    }
    // Position of the first change strictly after t.
    std::size_t firstChangeAfter(double t) const {
        return static_cast<std::size_t>(std::upper_bound(times.begin(), times.end(), t) -
                                        times.begin());
    }
};

FollowScorer::FollowScorer(const ScriptWords& script, const SpeechTruth& truth, int leadWords)
    : script_(script),
      lastIndex_(static_cast<long>(script.size()) - 1),
      leadWords_(leadWords),
      durationSeconds_(truth.durationSeconds) {
    // The words of one number read aloud share their script word: they count as one.
    for (const auto& w : truth.words) {
        const long index = w.scriptOffset < 0 ? -1 : script.indexOfOffset(w.scriptOffset);
        if (index >= 0 && !spoken_.empty() && spoken_.back().index == index) {
            spoken_.back().end = w.endSeconds;
            continue;
        }
        spoken_.push_back({index, w.startSeconds, w.endSeconds});
    }
}

long FollowScorer::spokenIndexAt(double t) const {
    long index = -1;
    for (const Spoken& s : spoken_) {
        if (s.start > t) break;
        if (s.index >= 0) index = s.index;
    }
    return index;
}

ReadingScore FollowScorer::score(const std::vector<FollowMove>& moves) const {
    ReadingScore out;
    Track track;
    for (const FollowMove& m : moves) {
        const long index = script_.indexOfOffset(m.startOffset);
        if (index < 0 || index == track.indexes.back()) continue;  // unplaceable or no move
        if (index < track.indexes.back() - 1) ++out.backwardMoves;
        // Lines out of time order would rewrite the past: the later line holds from its time.
        track.times.push_back(std::max(m.seconds, track.times.back()));
        track.indexes.push_back(index);
    }

    std::size_t s = 0;
    std::optional<double> farSince;  // first sample of the current stretch far ahead
    for (long k = 0; k * kSampleSeconds < durationSeconds_; ++k) {
        const double t = k * kSampleSeconds;
        while (s < spoken_.size() && spoken_[s].end <= t) ++s;
        if (s == spoken_.size()) break;
        if (spoken_[s].start > t || spoken_[s].index < 0) continue;
        ++out.speechSamples;
        const long lead = track.at(t) - spoken_[s].index;
        if (std::labs(lead) <= kToleranceWords) ++out.withinSamples;
        if (lead > kToleranceWords) ++out.aheadSamples;
        if (lead < -kToleranceWords) ++out.behindSamples;
        if (lead > kFarWords) {
            ++out.farAheadSamples;
            if (!farSince) farSince = t;
            out.longestFarAheadSeconds =
                std::max(out.longestFarAheadSeconds, t + kSampleSeconds - *farSince);
        } else {
            farSince.reset();
        }
    }
    scoreLatency(track, out);
    scoreJumps(track, out);
    scoreRemarks(track, out);
    return out;
}

void FollowScorer::scoreLatency(const Track& track, ReadingScore& out) const {
    for (const Spoken& w : spoken_) {
        if (w.index < 0) continue;
        const long low = std::min(w.index + leadWords_, lastIndex_);
        const auto inBand = [&](long i) { return i >= low && i <= low + kToleranceWords; };
        if (w.index + leadWords_ <= lastIndex_ && track.at(w.start) >= low) {
            ++out.aheadWords;
            continue;
        }
        std::optional<double> reached;
        if (inBand(track.at(w.start))) reached = w.start;
        for (std::size_t c = track.firstChangeAfter(w.start); !reached && c < track.times.size();
             ++c) {
            if (inBand(track.indexes[c])) reached = track.times[c];
        }
        if (reached) {
            out.latenciesSeconds.push_back(std::max(0.0, *reached - w.end));
        } else {
            ++out.unreachedWords;
        }
    }
}

void FollowScorer::scoreJumps(const Track& track, ReadingScore& out) const {
    long previous = -1;
    for (std::size_t j = 0; j < spoken_.size(); ++j) {
        const long index = spoken_[j].index;
        if (index < 0) continue;
        // A jump the ±3 band would hide anyway (a word the synthesiser ran into its
        // neighbour, a repeated word) is no skip or re-read.
        const bool jumped = previous >= 0 && (index > previous + 1 + kToleranceWords ||
                                              index < previous - kToleranceWords);
        previous = index;
        if (!jumped) continue;
        // The moments that can end the chase: a follower move or the next word spoken.
        const double from = spoken_[j].start;
        std::vector<double> moments{from};
        for (std::size_t c = track.firstChangeAfter(from); c < track.times.size(); ++c) {
            moments.push_back(track.times[c]);
        }
        for (std::size_t n = j + 1; n < spoken_.size(); ++n) moments.push_back(spoken_[n].start);
        std::sort(moments.begin(), moments.end());
        std::optional<double> back;
        for (double t : moments) {
            if (std::labs(track.at(t) - spokenIndexAt(t)) <= kToleranceWords) {
                back = t;
                break;
            }
        }
        int words = 0;
        for (std::size_t n = j; n < spoken_.size(); ++n) {
            if (spoken_[n].index >= 0 && (!back || spoken_[n].start < *back)) ++words;
        }
        out.recoveryWords.push_back(words);
        if (!back) ++out.unrecovered;
    }
}

void FollowScorer::scoreRemarks(const Track& track, ReadingScore& out) const {
    for (std::size_t j = 0; j < spoken_.size(); ++j) {
        if (spoken_[j].index >= 0 || (j > 0 && spoken_[j - 1].index < 0)) continue;
        ++out.remarks;
        // Late recognition of the remark's last words shows while the first script word
        // after it is read: the window runs to that word's end.
        std::size_t resume = j;
        while (resume < spoken_.size() && spoken_[resume].index < 0) ++resume;
        const double from = spoken_[j].start;
        const double until = resume < spoken_.size() ? spoken_[resume].end : durationSeconds_;
        const long anchor = track.at(from);
        for (std::size_t c = track.firstChangeAfter(from);
             c < track.times.size() && track.times[c] <= until; ++c) {
            out.remarkDriftWords = std::max(out.remarkDriftWords,
                                            static_cast<int>(std::labs(track.indexes[c] - anchor)));
        }
    }
}

}  // namespace vorela::follow
