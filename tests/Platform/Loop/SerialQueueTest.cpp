#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "Platform/Loop/SerialQueue.h"

namespace vorela {
namespace {

TEST(SerialQueueTest, RunsTasksOneAtATimeInSubmissionOrderOffTheCaller) {
    SerialQueue queue("test");
    std::vector<int> order;
    const auto caller = std::this_thread::get_id();
    bool ranElsewhere = true;
    for (int i = 0; i < 200; ++i) {
        queue.async([&, i] {
            ranElsewhere = ranElsewhere && std::this_thread::get_id() != caller;
            order.push_back(i);
        });
    }
    queue.waitUntilIdle();
    ASSERT_EQ(order.size(), 200u);
    for (int i = 0; i < 200; ++i) EXPECT_EQ(order[i], i);
    EXPECT_TRUE(ranElsewhere);
}

TEST(SerialQueueTest, DestructorRunsWhatIsQueued) {
    int count = 0;
    {
        SerialQueue queue("test");
        for (int i = 0; i < 50; ++i) queue.async([&] { ++count; });
    }
    EXPECT_EQ(count, 50);
}

}  // namespace
}  // namespace vorela
