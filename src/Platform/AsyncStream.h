#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>

#include "Platform/RunLoop.h"
#include "Platform/Subscription.h"

namespace vorela {

// An unbounded queue from producers on any thread to one consumer on the main run loop.
// The producer holds the Continuation: yield() never blocks and returns false once the
// stream is finished or its consumer is gone; finish() ends it. The consumer calls
// forEach() once: elements arrive in yield order on the run loop, then onFinish once.
// Cancelling the returned subscription stops delivery; later yields are dropped.
template <class T>
class AsyncStream {
    struct State {
        std::mutex mutex;
        std::deque<T> buffer;
        bool finished = false;
        bool cancelled = false;
        bool drainPosted = false;
        bool finishReported = false;
        RunLoop* loop = nullptr;
        std::function<void(T)> onElement;
        std::function<void()> onFinish;
    };

public:
    class Continuation {
    public:
        Continuation() = default;
        bool yield(T value) const {
            if (!state_) return false;
            std::unique_lock lock(state_->mutex);
            if (state_->finished || state_->cancelled) return false;
            state_->buffer.push_back(std::move(value));
            scheduleDrain(state_, lock);
            return true;
        }
        void finish() const {
            if (!state_) return;
            std::unique_lock lock(state_->mutex);
            if (state_->finished) return;
            state_->finished = true;
            scheduleDrain(state_, lock);
        }
        bool isFinished() const {
            if (!state_) return true;
            std::lock_guard lock(state_->mutex);
            return state_->finished || state_->cancelled;
        }

    private:
        friend class AsyncStream;
        explicit Continuation(std::shared_ptr<State> s) : state_(std::move(s)) {}
        std::shared_ptr<State> state_;
    };

    static std::pair<AsyncStream, Continuation> make() {
        auto state = std::make_shared<State>();
        return {AsyncStream(state), Continuation(state)};
    }

    AsyncStream() = default;

    [[nodiscard]] Subscription forEach(RunLoop& loop, std::function<void(T)> onElement,
                                       std::function<void()> onFinish = {}) {
        if (!state_) return {};
        {
            std::unique_lock lock(state_->mutex);
            state_->loop = &loop;
            state_->onElement = std::move(onElement);
            state_->onFinish = std::move(onFinish);
            scheduleDrain(state_, lock);
        }
        std::weak_ptr<State> weak = state_;
        return Subscription([weak] {
            if (auto s = weak.lock()) {
                std::lock_guard lock(s->mutex);
                s->cancelled = true;
                s->buffer.clear();
            }
        });
    }

private:
    explicit AsyncStream(std::shared_ptr<State> s) : state_(std::move(s)) {}

    static void scheduleDrain(const std::shared_ptr<State>& s, std::unique_lock<std::mutex>&) {
        if (!s->loop || s->drainPosted || s->cancelled) return;
        s->drainPosted = true;
        std::weak_ptr<State> weak = s;
        s->loop->post([weak] {
            if (auto st = weak.lock()) drain(st);
        });
    }

    static void drain(const std::shared_ptr<State>& s) {
        for (;;) {
            std::unique_lock lock(s->mutex);
            if (s->cancelled) {
                s->drainPosted = false;
                return;
            }
            if (!s->buffer.empty()) {
                T value = std::move(s->buffer.front());
                s->buffer.pop_front();
                auto callback = s->onElement;
                lock.unlock();
                if (callback) callback(std::move(value));
                continue;
            }
            s->drainPosted = false;
            if (s->finished && !s->finishReported) {
                s->finishReported = true;
                auto callback = s->onFinish;
                lock.unlock();
                if (callback) callback();
            }
            return;
        }
    }

    std::shared_ptr<State> state_;
};

}  // namespace vorela
