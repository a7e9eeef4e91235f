#include <gtest/gtest.h>

#include <string>

#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Render/HoverMonitor.h"

namespace vorela {
namespace {

class HoverMonitorTest : public ::testing::Test {
protected:
    HoverMonitorTest() {
        monitor_.setOnEnter([this] { events_ += "enter "; });
        monitor_.setOnExit([this] { events_ += "exit "; });
    }

    ManualRunLoop loop_;
    HoverMonitor monitor_{0.4, loop_};
    std::string events_;
};

TEST_F(HoverMonitorTest, LeavingReportsOnlyAfterTheResumeDelay) {
    monitor_.mouseEntered();
    EXPECT_TRUE(monitor_.isHovering());
    monitor_.mouseExited();
    EXPECT_FALSE(monitor_.isHovering());
    loop_.advanceBy(0.399);
    EXPECT_EQ(events_, "enter ");
    loop_.advanceBy(0.001);
    EXPECT_EQ(events_, "enter exit ");
    loop_.advanceBy(5.0);
    EXPECT_EQ(events_, "enter exit ") << "one exit per leave";
    EXPECT_FALSE(monitor_.hasPendingExit());
}

TEST_F(HoverMonitorTest, ReturningWithinTheDelayNeverResumes) {
    monitor_.mouseEntered();
    monitor_.mouseExited();
    loop_.advanceBy(0.3);
    monitor_.mouseEntered();
    loop_.advanceBy(1.0);
    EXPECT_EQ(events_, "enter enter ");
    EXPECT_TRUE(monitor_.isHovering());
}

TEST_F(HoverMonitorTest, RepeatedExitsRestartTheDelay) {
    monitor_.mouseExited();
    loop_.advanceBy(0.3);
    monitor_.mouseExited();
    loop_.advanceBy(0.3);
    EXPECT_EQ(events_, "");
    loop_.advanceBy(0.1);
    EXPECT_EQ(events_, "exit ");
}

TEST(HoverMonitorLifetimeTest, APendingExitDiesWithTheMonitor) {
    ManualRunLoop loop;
    int exits = 0;
    {
        HoverMonitor monitor(0.4, loop);
        monitor.setOnExit([&exits] { ++exits; });
        monitor.mouseExited();
    }
    loop.advanceBy(1.0);
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(loop.pendingTaskCount(), 0u);
}

}  // namespace
}  // namespace vorela
