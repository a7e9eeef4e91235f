#include "Platform/Loop/Fake/ManualRunLoop.h"

#include <algorithm>

namespace vorela {

ManualRunLoop::ManualRunLoop() = default;

ManualRunLoop::~ManualRunLoop() = default;

bool ManualRunLoop::isMainThread() const { return std::this_thread::get_id() == mainThread_; }

void ManualRunLoop::post(Task task) {
    std::lock_guard lock(postedMutex_);
    posted_.push_back(std::move(task));
}

TimerHandle ManualRunLoop::schedule(double delaySeconds, Task task) {
    return add(std::max(0.0, delaySeconds), 0, std::move(task));
}

TimerHandle ManualRunLoop::scheduleRepeating(double intervalSeconds, Task task) {
    // A zero interval would spin forever inside advanceBy.
    const double interval = std::max(intervalSeconds, 1e-6);
    return add(interval, interval, std::move(task));
}

TimerHandle ManualRunLoop::add(double delay, double interval, Task task) {
    const std::uint64_t id = nextSequence_++;
    Timer timer{clock_.uptime() + delay, interval, nextSequence_++, std::move(task)};
    queue_[{timer.due, timer.sequence}] = id;
    timers_[id] = std::move(timer);
    return TimerHandle(guard_.bind([this, id] { cancelTimer(id); }));
}

void ManualRunLoop::cancelTimer(std::uint64_t id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    queue_.erase({it->second.due, it->second.sequence});
    timers_.erase(it);
}

bool ManualRunLoop::runOnePosted() {
    Task task;
    {
        std::lock_guard lock(postedMutex_);
        if (posted_.empty()) return false;
        task = std::move(posted_.front());
        posted_.pop_front();
    }
    task();
    return true;
}

bool ManualRunLoop::runOneDueTimer(double limit) {
    if (queue_.empty() || queue_.begin()->first.first > limit) return false;
    const auto [key, id] = *queue_.begin();
    queue_.erase(queue_.begin());
    auto it = timers_.find(id);
    if (key.first > clock_.uptime()) clock_.setUptime(key.first);
    Task task = it->second.task;
    if (it->second.interval > 0) {
        it->second.due = key.first + it->second.interval;
        it->second.sequence = nextSequence_++;
        queue_[{it->second.due, it->second.sequence}] = id;
    } else {
        timers_.erase(it);
    }
    task();
    return true;
}

void ManualRunLoop::runUntilIdle() {
    while (runOnePosted() || runOneDueTimer(clock_.uptime())) {
    }
}

void ManualRunLoop::advanceBy(double seconds) {
    const double target = clock_.uptime() + std::max(0.0, seconds);
    runUntilIdle();
    while (runOneDueTimer(target)) runUntilIdle();
    if (clock_.uptime() < target) clock_.setUptime(target);
    runUntilIdle();
}

std::size_t ManualRunLoop::pendingTaskCount() const {
    std::lock_guard lock(postedMutex_);
    return posted_.size() + timers_.size();
}

std::optional<double> ManualRunLoop::nextTaskDelay() const {
    if (queue_.empty()) return std::nullopt;
    return std::max(0.0, queue_.begin()->first.first - clock_.uptime());
}

}  // namespace vorela
