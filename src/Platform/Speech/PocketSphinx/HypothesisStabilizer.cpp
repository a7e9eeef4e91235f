#include "Platform/Speech/PocketSphinx/HypothesisStabilizer.h"

#include <algorithm>
#include <utility>

namespace vorela {
namespace {

// Audio times are sums of sample counts: equal spans may differ in their last bits.
constexpr double kTimeSlack = 1e-9;

// A word's start time may shift as the decoder refines it; only its text counts.
std::size_t commonWords(const std::vector<SpeechTextRun>& a, const std::vector<SpeechTextRun>& b,
                        std::size_t aFrom = 0, std::size_t bFrom = 0) {
    std::size_t common = 0;
    while (aFrom + common < a.size() && bFrom + common < b.size() &&
           a[aFrom + common].text == b[bFrom + common].text)
        ++common;
    return common;
}

bool sameWords(const std::vector<SpeechTextRun>& a, const std::vector<SpeechTextRun>& b) {
    return a.size() == b.size() && commonWords(a, b) == a.size();
}

}  // namespace

void HypothesisStabilizer::observe(std::vector<SpeechTextRun> hypothesis) {
    pending_ = std::move(hypothesis);
}

HypothesisStabilizer::Results HypothesisStabilizer::advance(double audioSeconds) {
    Results out;
    if (pending_) {
        take(std::move(*pending_), audioSeconds, out);
        pending_.reset();
    }
    while (passedOn() < hypothesis_.size() &&
           audioSeconds - since_[passedOn()] + kTimeSlack >= timing_.settleSeconds)
        ++settled_;

    const bool changing = passedOn() < hypothesis_.size();
    SpeechAnalyzerResult result;
    result.runs = words(closedWords_, passedOn());
    // A pause closes the standing words, when the reader lacks one of them: the word its
    // last partial held back, or one it never got.
    if (!changing && settled_ > taken() &&
        audioSeconds - lastChange_ + kTimeSlack >= timing_.pauseSeconds) {
        result.isFinal = true;
        closedWords_ += settled_;
        settled_ = 0;
        lastSent_.clear();
        out.push_back(std::move(result));
        return out;
    }
    if (changing) result.runs.push_back(hypothesis_[passedOn()]);
    // A partial no longer than what the reader took would read as a new hypothesis.
    if (result.runs.size() > taken() && !sameWords(result.runs, lastSent_)) {
        lastSent_ = result.runs;
        out.push_back(std::move(result));
    }
    return out;
}

void HypothesisStabilizer::take(std::vector<SpeechTextRun> hypothesis, double audioSeconds,
                                Results& out) {
    const std::size_t common = commonWords(hypothesis_, hypothesis);
    if (common != hypothesis_.size() || common != hypothesis.size()) lastChange_ = audioSeconds;
    since_.resize(common);
    since_.resize(hypothesis.size(), audioSeconds);
    hypothesis_ = std::move(hypothesis);
    if (taken() > 0 && common < closedWords_ + taken()) {
        out.push_back(endHypothesis());
        return;
    }
    // A word the decoder rewrote stands again only after a wait of its own, and the
    // words after it with it. Words in closed hypotheses stay closed.
    settled_ = std::min(settled_, common > closedWords_ ? common - closedWords_ : 0);
}

SpeechAnalyzerResult HypothesisStabilizer::endHypothesis() {
    SpeechAnalyzerResult result{std::exchange(lastSent_, {}), true};
    closedWords_ += result.runs.size();
    settled_ = 0;
    return result;
}

std::vector<SpeechTextRun> HypothesisStabilizer::words(std::size_t from, std::size_t to) const {
    to = std::min(to, hypothesis_.size());
    if (from >= to) return {};
    return {hypothesis_.begin() + static_cast<long>(from),
            hypothesis_.begin() + static_cast<long>(to)};
}

HypothesisStabilizer::Results HypothesisStabilizer::close(
    std::optional<std::vector<SpeechTextRun>> finalRuns) {
    if (pending_) hypothesis_ = std::move(*pending_);
    if (finalRuns) hypothesis_ = std::move(*finalRuns);
    Results out;
    const std::size_t held = taken();
    const bool rewritten = commonWords(hypothesis_, lastSent_, closedWords_) < held;
    if (rewritten || (!lastSent_.empty() && hypothesis_.size() <= closedWords_ + held))
        out.push_back(endHypothesis());
    auto rest = words(closedWords_, hypothesis_.size());
    if (!rest.empty()) out.push_back({std::move(rest), true});
    reset();
    return out;
}

void HypothesisStabilizer::reset() {
    hypothesis_.clear();
    since_.clear();
    pending_.reset();
    lastChange_ = 0;
    closedWords_ = 0;
    settled_ = 0;
    lastSent_.clear();
}

}  // namespace vorela
