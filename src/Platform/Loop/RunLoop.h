#pragma once

#include <functional>

#include "Platform/Loop/TimerHandle.h"
#include "Platform/Time/Clock.h"

namespace vorela {

// The main thread's event loop: everything the core keeps runs on it.
// - post() may be called from any thread; tasks run on the main thread in post order.
// - Timers are scheduled and cancelled on the main thread. A repeating timer fires every
//   interval until its handle is cancelled or destroyed; a cancelled timer never fires.
// - clock() is the clock the timers run on (virtual in tests).
class RunLoop {
public:
    using Task = std::function<void()>;

    virtual ~RunLoop() = default;

    virtual bool isMainThread() const = 0;
    virtual void post(Task task) = 0;
    [[nodiscard]] virtual TimerHandle schedule(double delaySeconds, Task task) = 0;
    [[nodiscard]] virtual TimerHandle scheduleRepeating(double intervalSeconds, Task task) = 0;
    virtual const Clock& clock() const = 0;

    double uptime() const { return clock().uptime(); }
};

}  // namespace vorela
