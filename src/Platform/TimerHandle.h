#pragma once

#include <functional>
#include <utility>

namespace vorela {

// Owns a scheduled timer: destroying or cancelling the handle stops it. Declare it as
// the last member of its owner so it dies first. Cancel on the main thread only.
class TimerHandle {
public:
    TimerHandle() = default;
    explicit TimerHandle(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    ~TimerHandle() { cancel(); }

    TimerHandle(const TimerHandle&) = delete;
    TimerHandle& operator=(const TimerHandle&) = delete;
    TimerHandle(TimerHandle&& other) noexcept : cancel_(std::exchange(other.cancel_, nullptr)) {}
    TimerHandle& operator=(TimerHandle&& other) noexcept {
        if (this != &other) {
            cancel();
            cancel_ = std::exchange(other.cancel_, nullptr);
        }
        return *this;
    }

    void cancel() {
        if (auto c = std::exchange(cancel_, nullptr)) c();
    }
    bool isScheduled() const { return static_cast<bool>(cancel_); }

private:
    std::function<void()> cancel_;
};

}  // namespace vorela
