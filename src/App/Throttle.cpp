#include "App/Throttle.h"

namespace vorela {

bool Throttle::shouldFire(bool force, double at) {
    std::lock_guard guard(lock_);
    if (!lastFlag_ || *lastFlag_ != force) {
        lastFlag_ = force;
        last_ = at;
        return true;
    }
    if (at - last_ < kInterval) return false;
    last_ = at;
    return true;
}

}  // namespace vorela
