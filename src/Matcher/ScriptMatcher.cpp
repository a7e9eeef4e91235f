#include "Matcher/ScriptMatcher.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "Matcher/CanonicalText.h"
#include "Matcher/Similarity.h"
#include "Script/ReadingRate.h"

namespace vorela {
namespace {

// Grades of one heard word against one token.
constexpr double kExactGrade = 1.0;
constexpr double kPhoneticGrade = 0.85;
constexpr double kNearGrade = 0.7;
// A near miss is a word at least 80 % alike byte for byte.
constexpr double kNearThreshold = 0.8;

// The rate needs five word times; a burst shorter than half a second counts as half a
// second, and the result is held to the reading-rate range.
constexpr std::size_t kMinRateWords = 5;
constexpr double kMinRateSpan = 0.5;

// Two sightings of a jump count as the same place when they lie this close.
constexpr long kJumpTolerance = 2;

}  // namespace

ScriptMatcher::ScriptMatcher(MatcherConfig config) : config_(config) {}

const std::shared_ptr<const std::vector<Token>>& ScriptMatcher::noTokens() {
    static const auto empty = std::make_shared<const std::vector<Token>>();
    return empty;
}

ScriptMatcher::~ScriptMatcher() = default;

void ScriptMatcher::setTokens(std::shared_ptr<const std::vector<Token>> tokens) {
    tokens_ = tokens ? std::move(tokens) : noTokens();
}

void ScriptMatcher::reset(long index) {
    const long count = tokenCount();
    const long start = count == 0 ? 0 : std::clamp(index, 0L, count - 1);
    cursor_ = start;
    confirmed_ = start;
    state_ = MatchState::searching;
    recentHeard_.clear();
    consumedCount_ = 0;
    lastPartial_.clear();
    alignedHeardCount_ = heardCount_;
    pendingJump_.reset();
    searchingSince_.reset();
    lastScore_ = 0;
}

void ScriptMatcher::setCursor(long cursor) {
    const long count = tokenCount();
    cursor_ = count == 0 ? 0 : std::clamp(cursor, 0L, count - 1);
}

void ScriptMatcher::ingest(const TranscriptionUpdate& update, Tokenizer::Language language,
                           double now) {
    const long n = static_cast<long>(update.words.size());
    // A final that repeats the partial before it brings its held-back word into the
    // window, but that word was already heard: it is no new evidence.
    const bool repeatsPartial = update.isFinal && update.words == lastPartial_;
    if (update.isFinal)
        lastPartial_.clear();
    else
        lastPartial_ = update.words;
    // A result no longer than what was taken belongs to a new hypothesis.
    if (consumedCount_ >= n) consumedCount_ = 0;
    const long start = consumedCount_;
    const long end = update.isFinal ? n : n - 1;  // a partial's last word may still change
    if (start >= end) return;

    for (long i = start; i < end; ++i) {
        std::string norm = Tokenizer::normalize(update.words[static_cast<std::size_t>(i)]);
        if (norm.empty()) continue;
        std::string phon = language == Tokenizer::Language::english
                               ? Tokenizer::englishPhonetic(norm)
                               : Tokenizer::spanishPhonetic(norm);
        recentHeard_.push_back(HeardWord{std::move(norm), std::move(phon)});
        wordTimes_.push_back(now);
        if (!repeatsPartial) ++heardCount_;
    }
    consumedCount_ = update.isFinal ? 0 : end;

    const auto keep = static_cast<std::size_t>(std::max(config_.listenWindow, 0));
    if (recentHeard_.size() > keep)
        recentHeard_.erase(recentHeard_.begin(),
                           recentHeard_.begin() + static_cast<long>(recentHeard_.size() - keep));
    updateWPM(now);
}

void ScriptMatcher::updateWPM(double now) {
    std::erase_if(wordTimes_, [&](double t) { return now - t > config_.wpmWindow; });
    if (wordTimes_.size() < kMinRateWords) return;
    const double span = std::max(now - wordTimes_.front(), kMinRateSpan);
    const double wpm = static_cast<double>(wordTimes_.size()) / span * 60.0;
    measuredWPM_ = std::clamp(wpm, ReadingRate::kMinWpm, ReadingRate::kMaxWpm);
}

std::vector<std::string> ScriptMatcher::listeningWindow() const {
    std::vector<std::string> words;
    words.reserve(recentHeard_.size());
    for (const auto& heard : recentHeard_) words.push_back(heard.norm);
    return words;
}

double ScriptMatcher::grade(const HeardWord& heard, const Token& token) const {
    if (CanonicalText::equal(heard.norm, token.norm) ||
        CanonicalText::contains(token.variants.list(), heard.norm))
        return kExactGrade;
    if (!heard.phon.empty() && CanonicalText::equal(heard.phon, token.phon)) return kPhoneticGrade;
    if (Similarity::ratio(heard.norm, token.norm, kNearThreshold) >= kNearThreshold) {
        return kNearGrade;
    }
    return 0;
}

double ScriptMatcher::score(long position, bool widened) const {
    const long n = static_cast<long>(recentHeard_.size());
    if (n == 0) return 0;
    const long count = tokenCount();
    const double totalWeight = static_cast<double>(n * (n + 1) / 2);

    double matched = 0;
    long misses = 0;
    for (long k = 0; k < n; ++k) {
        const long t = position - (n - 1) + k;  // the newest heard word meets `position`
        const double g = (t < 0 || t >= count) ? 0
                                               : grade(recentHeard_[static_cast<std::size_t>(k)],
                                                       (*tokens_)[static_cast<std::size_t>(t)]);
        if (g == 0) ++misses;
        matched += static_cast<double>(k + 1) / totalWeight * g;
    }

    double result =
        matched - static_cast<double>(misses) / static_cast<double>(n) * config_.gapPenalty;
    const long scale = widened ? config_.recoverForward : config_.forward;
    const long distance = std::labs(position - cursor_);
    // A zero scale (possible in a hand-edited configuration) rewards the cursor only,
    // instead of dividing by zero.
    const double closeness =
        scale > 0 ? std::max(0.0, 1.0 - static_cast<double>(distance) / static_cast<double>(scale))
                  : (distance == 0 ? 1.0 : 0.0);
    result += config_.proximityBonus * closeness;

    if (widened && position >= 1 && position - 1 < count &&
        (*tokens_)[static_cast<std::size_t>(position - 1)].isSentenceEnd) {
        result += config_.sentenceAnchorBonus;
    }
    return result;
}

std::optional<long> ScriptMatcher::align(double now) {
    const bool lost = state_ == MatchState::lost;
    const long behind = lost ? config_.recoverBack : config_.back;
    const long ahead = lost ? config_.recoverForward : config_.forward;
    const long lo = std::max(cursor_ - behind, 0L);
    const long hi = std::min(cursor_ + ahead, tokenCount());
    if (lo >= hi) return std::nullopt;

    long best = lo;
    double bestScore = score(lo, lost);
    for (long pos = lo + 1; pos < hi; ++pos) {
        const double s = score(pos, lost);
        if (s > bestScore) {  // ties keep the lowest index
            best = pos;
            bestScore = s;
        }
    }
    lastScore_ = bestScore;
    const bool heardMore = std::exchange(alignedHeardCount_, heardCount_) != heardCount_;

    // Every position searched may be accepted: while lost that reaches `recoverBack`
    // behind, so a reader the text ran ahead of is found again.
    const double threshold = lost ? config_.thetaRecover : config_.thetaLock;
    if (bestScore < threshold) {
        fail(now);
        return std::nullopt;
    }
    if (best > cursor_ + config_.jumpGuard) {
        if (bestScore < config_.thetaJump) {
            fail(now);
            return std::nullopt;
        }
        // The same words aligned again are the same sighting, not a second one.
        if (!heardMore) return std::nullopt;
        // A far jump needs a second sighting near the first: a misheard phrase that
        // happens to match elsewhere in the script rarely does so twice running.
        const bool seenNear =
            pendingJump_ && std::labs(pendingJump_->position - best) <= kJumpTolerance;
        const long sightings = seenNear ? pendingJump_->count + 1 : 1;
        if (!seenNear || sightings < config_.jumpConfirmations) {
            pendingJump_ = PendingJump{best, sightings};
            return std::nullopt;
        }
    }
    return accept(best, now);
}

std::optional<long> ScriptMatcher::accept(long position, double now) {
    pendingJump_.reset();
    cursor_ = std::min(tokenCount() - 1, position + 1);
    confirmed_ = position;
    state_ = MatchState::locked;
    lastMatchTime_ = now;
    searchingSince_.reset();
    return cursor_;
}

void ScriptMatcher::fail(double now) {
    if (state_ == MatchState::locked || !searchingSince_) searchingSince_ = now;
    if (state_ != MatchState::lost) state_ = MatchState::searching;
    if (now - *searchingSince_ >= config_.lostTimeout) state_ = MatchState::lost;
}

}  // namespace vorela
