#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Matcher/MatchState.h"
#include "Matcher/MatcherConfig.h"
#include "Matcher/TranscriptionUpdate.h"
#include "Script/Token.h"
#include "Script/Tokenizer.h"

namespace vorela {

// Finds the speaker's place in the loaded script from recognised words. It keeps the
// script's tokens (shared with the central state, never copied), a short window of the
// newest heard words and a cursor; each alignment scores the positions of a window
// around the cursor and moves the cursor when the best one passes a threshold.
//
// Main thread only, no locks. Times are system uptime in seconds, given by the caller.
class ScriptMatcher {
public:
    struct HeardWord {
        std::string norm;  // Tokenizer::normalize of the heard word; never empty
        std::string phon;  // its phonetic key in the recognition language
    };
    // A far jump seen but not yet confirmed: where it was last seen, how many times.
    struct PendingJump {
        long position = 0;
        long count = 0;
        bool operator==(const PendingJump&) const = default;
    };

    explicit ScriptMatcher(MatcherConfig config = {});
    ~ScriptMatcher();
    ScriptMatcher(const ScriptMatcher&) = delete;
    ScriptMatcher& operator=(const ScriptMatcher&) = delete;
    ScriptMatcher(ScriptMatcher&&) = delete;
    ScriptMatcher& operator=(ScriptMatcher&&) = delete;

    // The loaded script. The owner assigns it on every load, then calls reset(0).
    void setTokens(std::shared_ptr<const std::vector<Token>> tokens);
    const std::vector<Token>& tokens() const { return *tokens_; }
    const std::shared_ptr<const std::vector<Token>>& sharedTokens() const { return tokens_; }
    long tokenCount() const { return static_cast<long>(tokens_->size()); }

    // Restarts matching at a token index: cursor and confirmed position there (clamped),
    // state `searching`, heard window and jump bookkeeping emptied. The rate estimate and
    // the driver's timing survive.
    void reset(long index);

    // Takes the new words of one recogniser result into the heard window and updates
    // the rate. A partial result's last word is held back until it settles.
    void ingest(const TranscriptionUpdate& update, Tokenizer::Language language, double now);

    // One alignment; the new cursor when a position was accepted.
    std::optional<long> align(double now);

    // The normalised heard words, oldest first.
    std::vector<std::string> listeningWindow() const;
    const std::vector<HeardWord>& recentHeard() const { return recentHeard_; }

    long cursor() const { return cursor_; }
    // The central state moves the cursor while it advances without a match; held within
    // the script like every cursor the matcher sets itself.
    void setCursor(long cursor);
    long confirmed() const { return confirmed_; }
    MatchState state() const { return state_; }
    double measuredWPM() const { return measuredWPM_; }
    double lastScore() const { return lastScore_; }
    long consumedCount() const { return consumedCount_; }
    double lastMatchTime() const { return lastMatchTime_; }
    std::optional<double> searchingSince() const { return searchingSince_; }
    std::optional<PendingJump> pendingJump() const { return pendingJump_; }

    // The driver's rate limit: it reads and writes this around every alignment attempt.
    double lastUpdateTime() const { return lastUpdateTime_; }
    void setLastUpdateTime(double time) { lastUpdateTime_ = time; }

    // May be replaced at any time between calls (the settings edit it live).
    const MatcherConfig& config() const { return config_; }
    void setConfig(const MatcherConfig& config) { config_ = config; }

private:
    static const std::shared_ptr<const std::vector<Token>>& noTokens();
    // Score of one candidate position against the heard window, `widened` while lost.
    double score(long position, bool widened) const;
    void updateWPM(double now);
    double grade(const HeardWord& heard, const Token& token) const;
    std::optional<long> accept(long position, double now);
    void fail(double now);

    long cursor_ = 0;
    long confirmed_ = 0;
    MatchState state_ = MatchState::searching;
    double measuredWPM_ = 140;  // a typical reading rate until words have been timed
    double lastScore_ = 0;
    MatcherConfig config_;
    std::shared_ptr<const std::vector<Token>> tokens_ = noTokens();
    std::vector<HeardWord> recentHeard_;
    double lastMatchTime_ = 0;
    std::optional<double> searchingSince_;
    double lastUpdateTime_ = 0;
    long consumedCount_ = 0;
    std::optional<PendingJump> pendingJump_;
    std::vector<double> wordTimes_;
    // Jump evidence: words heard in all, and how many of them the last alignment saw.
    long heardCount_ = 0;
    long alignedHeardCount_ = 0;
    std::vector<std::string> lastPartial_;  // the latest partial's words, until a final
};

}  // namespace vorela
