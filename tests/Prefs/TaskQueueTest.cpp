#include <gtest/gtest.h>

#include <condition_variable>
#include <thread>

#include "Platform/Loop/SerialQueue.h"
#include "Prefs/PrefsAtomic.h"
#include "Prefs/TaskQueue.h"

namespace vorela::Prefs {
namespace {

TEST(TaskQueueTest, OperationsFromManyThreadsRunOneAtATimeToTheirEnd) {
    SerialQueue background("prefs-test");
    TaskQueue queue([&](auto task) { background.async(std::move(task)); });
    PrefsAtomic<int> running;
    PrefsAtomic<std::vector<int>> order;
    std::vector<std::thread> submitters;
    for (int t = 0; t < 4; ++t) {
        submitters.emplace_back([&, t] {
            for (int i = 0; i < 50; ++i) {
                // Half the operations finish on another thread, as a pull finishes on the
                // main thread.
                queue.submit([&, t, i](TaskQueue::Done done) {
                    EXPECT_EQ(running.modify([](int& r) { return ++r; }), 1);
                    auto finish = [&, t, i, done] {
                        order.modify([&](auto& o) { o.push_back(t * 100 + i); });
                        running.modify([](int& r) { --r; });
                        done();
                    };
                    if (i % 2 == 0) {
                        std::thread(finish).detach();
                    } else {
                        finish();
                    }
                });
            }
        });
    }
    for (auto& s : submitters) s.join();
    std::mutex mutex;
    std::condition_variable flushed;
    bool isFlushed = false;
    queue.flush([&] {
        std::lock_guard lock(mutex);
        isFlushed = true;
        flushed.notify_one();
    });
    std::unique_lock lock(mutex);
    flushed.wait(lock, [&] { return isFlushed; });
    const auto done = order.get();
    ASSERT_EQ(done.size(), 200u) << "flush came after every operation before it";
    for (int t = 0; t < 4; ++t) {
        int last = -1;
        for (int v : done) {
            if (v / 100 != t) continue;
            EXPECT_GT(v % 100, last) << "one thread's operations keep their order";
            last = v % 100;
        }
    }
}

}  // namespace
}  // namespace vorela::Prefs
