#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace vorela::Prefs {

// Runs asynchronous operations one after another: an operation receives a `done`
// callback and the next one starts only once it has been called, from whatever thread
// finishes the work. Operations start through `dispatch` (a background SerialQueue in
// the application, the run loop in tests). submit() and flush() may be called from any
// thread and return at once. Destroying the queue lets operations already submitted run;
// one whose `done` never comes ends the chain.
class TaskQueue {
public:
    using Done = std::function<void()>;
    using Operation = std::function<void(Done done)>;
    using Dispatch = std::function<void(std::function<void()>)>;

    explicit TaskQueue(Dispatch dispatch);

    void submit(Operation operation);
    // Calls `resume` once every operation submitted before it has finished.
    void flush(std::function<void()> resume);

private:
    struct State {
        Dispatch dispatch;
        std::mutex mutex;
        std::deque<Operation> operations;  // guarded by mutex
        bool isRunning = false;            // guarded by mutex
    };
    static void runNext(const std::shared_ptr<State>& state);

    std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace vorela::Prefs
