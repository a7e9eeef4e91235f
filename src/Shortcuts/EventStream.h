#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>

#include "Platform/RunLoop.h"
#include "Platform/Subscription.h"

namespace vorela::Shortcuts {

// A stream of key events from the registry to one consumer on the main run loop. Unlike a
// plain queue it tells its producer when it ends, so the registry can release the hot key
// the stream kept alive.
// - yield() may be called from any thread; it returns false once the stream has ended.
// - The consumer calls forEach() once; elements arrive on the run loop in yield order, then
//   onFinish once after finish().
// - The stream ends (onTermination runs, once, on the thread that ends it) when its
//   subscription is cancelled or destroyed, when the stream is dropped without ever being
//   consumed, or when its finish has been delivered.
// - Buffering::newest keeps only the newest element not yet taken.
template <class T>
class EventStream {
    struct State {
        std::mutex mutex;
        std::deque<T> buffer;
        bool keepsNewestOnly = false;
        bool isFinished = false;
        bool isTerminated = false;
        bool isDrainPosted = false;
        RunLoop* loop = nullptr;
        std::function<void(T)> onElement;
        std::function<void()> onFinish;
        std::function<void()> onTermination;
        bool hasConsumer = false;
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
        // Set before the stream is handed to its consumer.
        void onTermination(std::function<void()> callback) const {
            if (!state_) return;
            std::lock_guard lock(state_->mutex);
            state_->onTermination = std::move(callback);
        }
        bool isTerminated() const {
            if (!state_) return true;
            std::lock_guard lock(state_->mutex);
            return state_->isTerminated;
        }

    private:
        friend class EventStream;
        explicit Continuation(std::shared_ptr<State> state) : state_(std::move(state)) {}
        std::shared_ptr<State> state_;
    };

    static std::pair<EventStream, Continuation> make(RunLoop& loop,
                                                     Buffering buffering = Buffering::unbounded) {
        auto state = std::make_shared<State>();
        state->loop = &loop;
        state->keepsNewestOnly = buffering == Buffering::newest;
        return {EventStream(state), Continuation(state)};
    }

    EventStream() = default;
    ~EventStream() {
        if (state_) terminate(state_);
    }
    EventStream(const EventStream&) = delete;
    EventStream& operator=(const EventStream&) = delete;
    EventStream(EventStream&& other) noexcept : state_(std::exchange(other.state_, nullptr)) {}
    EventStream& operator=(EventStream&& other) noexcept {
        if (this != &other) {
            if (state_) terminate(state_);
            state_ = std::exchange(other.state_, nullptr);
        }
        return *this;
    }

    [[nodiscard]] Subscription forEach(std::function<void(T)> onElement,
                                       std::function<void()> onFinish = {}) {
        auto state = std::exchange(state_, nullptr);
        if (!state) return {};
        {
            std::unique_lock lock(state->mutex);
            state->onElement = std::move(onElement);
            state->onFinish = std::move(onFinish);
            state->hasConsumer = true;
            scheduleDrain(state, lock);
        }
        return Subscription([state] { terminate(state); });
    }

private:
    explicit EventStream(std::shared_ptr<State> state) : state_(std::move(state)) {}

    static void scheduleDrain(const std::shared_ptr<State>& s, std::unique_lock<std::mutex>&) {
        if (!s->hasConsumer || s->isDrainPosted || s->isTerminated) return;
        if (s->buffer.empty() && !s->isFinished) return;
        s->isDrainPosted = true;
        std::weak_ptr<State> weak = s;
        s->loop->post([weak] {
            if (const auto state = weak.lock()) drain(state);
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
        std::function<void()> onTermination;
        {
            std::lock_guard lock(s->mutex);
            if (s->isTerminated) return;
            s->isTerminated = true;
            s->buffer.clear();
            onTermination = std::move(s->onTermination);
            s->onTermination = nullptr;
            // The consumer's callbacks may hold the producer; let go of them.
            s->onElement = nullptr;
            s->onFinish = nullptr;
        }
        if (onTermination) onTermination();
    }

    std::shared_ptr<State> state_;
};

}  // namespace vorela::Shortcuts
