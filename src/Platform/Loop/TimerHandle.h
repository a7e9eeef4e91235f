#pragma once

#include "Platform/Observation/Subscription.h"

namespace vorela {

// A scheduled timer: destroying or cancelling the handle stops it. Cancel on the main
// thread only. isActive() stays true after a one-shot timer has fired.
using TimerHandle = Subscription;

}  // namespace vorela
