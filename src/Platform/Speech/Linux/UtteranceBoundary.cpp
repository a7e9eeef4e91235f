#include "Platform/Speech/Linux/UtteranceBoundary.h"

namespace vorela {

void UtteranceBoundary::start(double audioSeconds) {
    start_ = audioSeconds;
    lastChange_ = audioSeconds;
}

void UtteranceBoundary::guessChanged(double audioSeconds) { lastChange_ = audioSeconds; }

bool UtteranceBoundary::shouldClose(double audioSeconds) const {
    const double length = audioSeconds - start_;
    if (length >= kLongestUtteranceSeconds) return true;
    return length >= kLongUtteranceSeconds && audioSeconds - lastChange_ >= kPauseSeconds;
}

}  // namespace vorela
