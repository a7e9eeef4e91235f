#pragma once

namespace vorela {

// The sixteen tunables of ScriptMatcher. A default-constructed value holds the start-up
// configuration that the central state builds before VoiceProfile::tuned adjusts it.
// Counts are tokens or heard words; times are seconds.
struct MatcherConfig {
    int listenWindow = 6;              // heard words kept
    int back = 6;                      // searched behind the cursor while not lost
    int forward = 45;                  // searched ahead while not lost; proximity scale
    double thetaLock = 0.55;           // acceptance threshold while not lost
    double thetaJump = 0.75;           // least score for a position beyond jumpGuard
    double thetaRecover = 0.65;        // acceptance threshold while lost
    int jumpGuard = 20;                // tokens ahead beyond which a position is a jump
    int jumpConfirmations = 2;         // sightings a jump needs (two at the least)
    double lostTimeout = 2.5;          // seconds without acceptance before `lost`
    double gapPenalty = 0.15;          // penalty for a window made wholly of misses
    double proximityBonus = 0.2;       // bonus at the cursor, falling linearly to 0
    int recoverBack = 15;              // searched behind the cursor while lost; also how far
                                       // past the last match dead reckoning may go
    int recoverForward = 120;          // searched ahead while lost; proximity scale
    double sentenceAnchorBonus = 0.1;  // while lost, for a candidate that starts a sentence
    double minUpdateInterval = 0.1;    // least time between alignments (the driver's rule)
    double wpmWindow = 15;             // age limit of the word times behind the rate

    bool operator==(const MatcherConfig&) const = default;
};

}  // namespace vorela
