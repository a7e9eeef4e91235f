#include "Prefs/TaskQueue.h"

#include <atomic>

namespace vorela::Prefs {

TaskQueue::TaskQueue(Dispatch dispatch) { state_->dispatch = std::move(dispatch); }

void TaskQueue::submit(Operation operation) {
    {
        std::lock_guard lock(state_->mutex);
        state_->operations.push_back(std::move(operation));
        if (state_->isRunning) return;
        state_->isRunning = true;
    }
    state_->dispatch([state = state_] { runNext(state); });
}

void TaskQueue::flush(std::function<void()> resume) {
    submit([resume = std::move(resume)](Done done) {
        resume();
        done();
    });
}

void TaskQueue::runNext(const std::shared_ptr<State>& state) {
    Operation operation;
    {
        std::lock_guard lock(state->mutex);
        if (state->operations.empty()) {
            state->isRunning = false;
            return;
        }
        operation = std::move(state->operations.front());
        state->operations.pop_front();
    }
    auto called = std::make_shared<std::atomic<bool>>(false);
    operation([state, called] {
        if (called->exchange(true)) return;  // a second call must not start two operations
        state->dispatch([state] { runNext(state); });
    });
}

}  // namespace vorela::Prefs
