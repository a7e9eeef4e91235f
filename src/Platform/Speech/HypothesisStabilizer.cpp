#include "Platform/Speech/HypothesisStabilizer.h"

#include <algorithm>
#include <utility>

namespace vorela {
namespace {

// Audio times are sums of sample counts: equal spans may differ in their last bits.
constexpr double kTimeSlack = 1e-9;

}  // namespace

void HypothesisStabilizer::observe(std::vector<SpeechTextRun> hypothesis) {
    pending_ = std::move(hypothesis);
}

std::optional<SpeechAnalyzerResult> HypothesisStabilizer::advance(double audioSeconds) {
    if (pending_) {
        // A word's start time may shift as the decoder refines it; only its text counts.
        std::size_t common = 0;
        const std::size_t shorter = std::min(hypothesis_.size(), pending_->size());
        while (common < shorter && hypothesis_[common].text == (*pending_)[common].text) ++common;
        if (common != hypothesis_.size() || common != pending_->size()) lastChange_ = audioSeconds;
        since_.resize(common);
        since_.resize(pending_->size(), audioSeconds);
        hypothesis_ = std::move(*pending_);
        pending_.reset();
    }
    // A word the decoder rewrites stands again only after a wait of its own; the words
    // after it with it. Words closed at a pause stay closed.
    std::size_t standing = 0;
    while (standing < settled_.size() && closedWords_ + standing < hypothesis_.size() &&
           hypothesis_[closedWords_ + standing].text == settled_[standing].text)
        ++standing;
    settled_.resize(standing);
    while (passedOn() < hypothesis_.size() &&
           audioSeconds - since_[passedOn()] + kTimeSlack >= timing_.settleSeconds)
        settled_.push_back(hypothesis_[passedOn()]);

    const bool changing = passedOn() < hypothesis_.size();
    SpeechAnalyzerResult result;
    if (!changing && !settled_.empty() &&
        audioSeconds - lastChange_ + kTimeSlack >= timing_.pauseSeconds) {
        result.runs = std::exchange(settled_, {});
        result.isFinal = true;
        closedWords_ += result.runs.size();
        lastSent_.clear();
        return result;
    }
    result.runs = settled_;
    if (changing) result.runs.push_back(hypothesis_[passedOn()]);
    if (result.runs.empty() || result.runs == lastSent_) return std::nullopt;
    lastSent_ = result.runs;
    return result;
}

SpeechAnalyzerResult HypothesisStabilizer::close(
    std::optional<std::vector<SpeechTextRun>> finalRuns) {
    if (pending_) hypothesis_ = std::move(*pending_);
    const auto& last = finalRuns ? *finalRuns : hypothesis_;
    SpeechAnalyzerResult result;
    result.isFinal = true;
    for (std::size_t i = closedWords_; i < last.size(); ++i) result.runs.push_back(last[i]);
    reset();
    return result;
}

void HypothesisStabilizer::reset() {
    hypothesis_.clear();
    since_.clear();
    pending_.reset();
    lastChange_ = 0;
    closedWords_ = 0;
    settled_.clear();
    lastSent_.clear();
}

}  // namespace vorela
