#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace vorela {

// A background thread that runs tasks one at a time in submission order (for work that
// must not block the main thread, such as appending to a log file). async() may be
// called from any thread. The destructor runs what is queued, then joins.
class SerialQueue {
public:
    explicit SerialQueue(std::string name);
    ~SerialQueue();
    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;
    SerialQueue(SerialQueue&&) = delete;
    SerialQueue& operator=(SerialQueue&&) = delete;

    void async(std::function<void()> task);
    // Blocks until every task submitted before the call has run.
    void waitUntilIdle();

    const std::string& name() const { return name_; }

private:
    void run();

    std::string name_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<std::function<void()>> tasks_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;  // last: starts after the fields above exist
};

}  // namespace vorela
