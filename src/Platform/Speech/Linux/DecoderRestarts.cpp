#include "Platform/Speech/Linux/DecoderRestarts.h"

namespace vorela {

void DecoderRestarts::reset(Clock::time_point now) {
    quickDeaths_ = 0;
    hasGivenUp_ = false;
    restartAt_ = now;
}

bool DecoderRestarts::died(Clock::time_point now) {
    const bool wasQuick = now - startedAt_ < std::chrono::duration<double>(kHealthySeconds);
    quickDeaths_ = wasQuick ? quickDeaths_ + 1 : 1;
    if (quickDeaths_ > kMaxRestarts) {
        hasGivenUp_ = true;
        return false;
    }
    const double delay = quickDeaths_ > 1 ? kFirstBackoffSeconds * (1 << (quickDeaths_ - 2)) : 0;
    restartAt_ =
        now + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(delay));
    return true;
}

}  // namespace vorela
