#pragma once

namespace vorela {

// When the decoder closes its utterance, on the audio's own clock. The decoder's search
// history grows with every frame of an utterance and each partial walks all of it, so an
// utterance must end even when no pause comes: after a pause once it is long, and at a
// ceiling whatever is being said. The off-script phone loop changes its guess with every
// breath and noise, so in a noisy room a pause may never be seen; the ceiling bounds that.
class UtteranceBoundary {
public:
    // From here on a pause may close the utterance.
    static constexpr double kLongUtteranceSeconds = 20;
    // No change of the guess for this long counts as a pause.
    static constexpr double kPauseSeconds = 0.6;
    // Closed here whatever is being said: bounds the decoder's memory and time per block.
    static constexpr double kLongestUtteranceSeconds = 40;

    void start(double audioSeconds);
    // The decoder's guess changed after `audioSeconds` of audio.
    void guessChanged(double audioSeconds);
    bool shouldClose(double audioSeconds) const;

private:
    double start_ = 0;
    double lastChange_ = 0;
};

}  // namespace vorela
