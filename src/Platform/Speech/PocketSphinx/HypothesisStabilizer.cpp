#include "Platform/Speech/PocketSphinx/HypothesisStabilizer.h"

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
        // A word the decoder rewrote stands again only after a wait of its own, and the
        // words after it with it. Words closed at a pause stay closed.
        settled_ = std::min(settled_, common > closedWords_ ? common - closedWords_ : 0);
    }
    while (passedOn() < hypothesis_.size() &&
           audioSeconds - since_[passedOn()] + kTimeSlack >= timing_.settleSeconds)
        ++settled_;

    const bool changing = passedOn() < hypothesis_.size();
    SpeechAnalyzerResult result;
    result.runs = words(closedWords_, passedOn());
    if (!changing && settled_ > 0 &&
        audioSeconds - lastChange_ + kTimeSlack >= timing_.pauseSeconds) {
        result.isFinal = true;
        closedWords_ += settled_;
        settled_ = 0;
        lastSent_.clear();
        return result;
    }
    if (changing) result.runs.push_back(hypothesis_[passedOn()]);
    if (result.runs.empty() || result.runs == lastSent_) return std::nullopt;
    lastSent_ = result.runs;
    return result;
}

std::vector<SpeechTextRun> HypothesisStabilizer::words(std::size_t from, std::size_t to) const {
    to = std::min(to, hypothesis_.size());
    if (from >= to) return {};
    return {hypothesis_.begin() + static_cast<long>(from),
            hypothesis_.begin() + static_cast<long>(to)};
}

SpeechAnalyzerResult HypothesisStabilizer::close(
    std::optional<std::vector<SpeechTextRun>> finalRuns) {
    if (pending_) hypothesis_ = std::move(*pending_);
    if (finalRuns) hypothesis_ = std::move(*finalRuns);
    SpeechAnalyzerResult result;
    result.isFinal = true;
    result.runs = words(closedWords_, hypothesis_.size());
    reset();
    return result;
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
