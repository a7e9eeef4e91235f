#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>

#include "Platform/Loop/RunLoop.h"
#include "Platform/Observation/Subscription.h"

namespace vorela {

// A queue from producers on any thread to one consumer on the main run loop.
// - The producer holds the Continuation: yield() never blocks and returns false once the
//   stream is finished or has ended; finish() ends it after what was already yielded.
// - The consumer calls forEach() once: elements arrive in yield order on the run loop, then
//   onFinish once. The returned subscription keeps the stream going.
// - The stream ends when that subscription is cancelled or destroyed (later yields are
//   dropped), when every copy of the stream goes without having been consumed, or once its
//   finish has been delivered. Then the producer's onTermination runs, once, on the thread
//   that ended it, and the consumer's callbacks are let go (they may hold the producer).
// - Buffering::newest keeps only the newest element the consumer has not taken.
template <class T>
class AsyncStream {
    struct State {
        std::mutex mutex;
        std::deque<T> buffer;
        bool keepsNewestOnly = false;
        bool isFinished = false;
        bool isTerminated = false;
        bool isConsumed = false;
        bool isDrainPosted = false;
        RunLoop* loop = nullptr;
        std::function<void(T)> onElement;
        std::function<void()> onFinish;
        std::function<void()> onTermination;
    };

public:
    enum class Buffering { unbounded, newest };

    class Continuation {
    public:
        Continuation() = default;
        bool yield(T value) const {
            if (!state_) return false;
            std::unique_lock lock(state_->mutex);
            if (state_->isFinished || state_->isTerminated) return false;
            if (state_->keepsNewestOnly) state_->buffer.clear();
            state_->buffer.push_back(std::move(value));
            scheduleDrain(state_, lock);
            return true;
        }
        void finish() const {
            if (!state_) return;
            std::unique_lock lock(state_->mutex);
            if (state_->isFinished || state_->isTerminated) return;
            state_->isFinished = true;
            scheduleDrain(state_, lock);
        }
        bool isFinished() const {
            if (!state_) return true;
            std::lock_guard lock(state_->mutex);
            return state_->isFinished || state_->isTerminated;
        }
        // Set before the stream is handed to its consumer.
        void onTermination(std::function<void()> callback) const {
            if (!state_) return;
            std::lock_guard lock(state_->mutex);
            state_->onTermination = std::move(callback);
        }

    private:
        friend class AsyncStream;
        explicit Continuation(std::shared_ptr<State> s) : state_(std::move(s)) {}
        std::shared_ptr<State> state_;
    };

    static std::pair<AsyncStream, Continuation> make(Buffering buffering = Buffering::unbounded) {
        auto state = std::make_shared<State>();
        state->keepsNewestOnly = buffering == Buffering::newest;
        // Shared by the stream's copies; the last copy to go ends a stream nobody consumed.
        std::shared_ptr<void> consumerSide(nullptr, [state](void*) {
            std::unique_lock lock(state->mutex);
            if (state->isConsumed) return;
            lock.unlock();
            terminate(state);
        });
        return {AsyncStream(state, std::move(consumerSide)), Continuation(state)};
    }

    AsyncStream() = default;

    [[nodiscard]] Subscription forEach(RunLoop& loop, std::function<void(T)> onElement,
                                       std::function<void()> onFinish = {}) {
        if (!state_) return {};
        {
            std::unique_lock lock(state_->mutex);
            if (state_->isConsumed || state_->isTerminated) return {};
            state_->isConsumed = true;
            state_->loop = &loop;
            state_->onElement = std::move(onElement);
            state_->onFinish = std::move(onFinish);
            scheduleDrain(state_, lock);
        }
        return Subscription([state = state_] { terminate(state); });
    }

private:
    AsyncStream(std::shared_ptr<State> s, std::shared_ptr<void> consumerSide)
        : state_(std::move(s)), consumerSide_(std::move(consumerSide)) {}

    static void scheduleDrain(const std::shared_ptr<State>& s, std::unique_lock<std::mutex>&) {
        if (!s->loop || s->isDrainPosted || s->isTerminated) return;
        if (s->buffer.empty() && !s->isFinished) return;
        s->isDrainPosted = true;
        std::weak_ptr<State> weak = s;
        s->loop->post([weak] {
            if (auto st = weak.lock()) drain(st);
        });
    }

    static void drain(const std::shared_ptr<State>& s) {
        for (;;) {
            std::unique_lock lock(s->mutex);
            if (s->isTerminated) {
                s->isDrainPosted = false;
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
            s->isDrainPosted = false;
            if (!s->isFinished) return;
            auto callback = s->onFinish;
            lock.unlock();
            if (callback) callback();
            terminate(s);
            return;
        }
    }

    static void terminate(const std::shared_ptr<State>& s) {
        // Destroyed after the lock is released: they may hold anything, this stream included.
        std::deque<T> dropped;
        std::function<void(T)> onElement;
        std::function<void()> onFinish;
        std::function<void()> onTermination;
        {
            std::lock_guard lock(s->mutex);
            if (s->isTerminated) return;
            s->isTerminated = true;
            dropped.swap(s->buffer);
            onElement.swap(s->onElement);
            onFinish.swap(s->onFinish);
            onTermination.swap(s->onTermination);
        }
        if (onTermination) onTermination();
    }

    std::shared_ptr<State> state_;
    std::shared_ptr<void> consumerSide_;
};

}  // namespace vorela
