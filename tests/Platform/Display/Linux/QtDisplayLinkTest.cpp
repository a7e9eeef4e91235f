#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <cmath>

#include "Platform/Display/Linux/QtDisplayLink.h"
#include "Platform/Time/Clock.h"
#include "Support/QtTestApp.h"

namespace vorela {
namespace {

// The real frame clock on Qt's event loop: frames while running, none while paused.
class QtDisplayLinkTest : public ::testing::Test {
protected:
    static void runEventLoop(int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }

    struct App {
        App() { testing::qtTestApp(); }
    } app_;
    QWidget view_;
    int frames_ = 0;
    QtDisplayLink link_{&view_, SystemClock::shared(), [this](double) { ++frames_; }};
};

TEST_F(QtDisplayLinkTest, APausedLinkDeliversNothingUntilResumed) {
    EXPECT_FALSE(link_.isPaused()) << "a link runs from its creation";
    runEventLoop(120);
    EXPECT_GE(frames_, 3) << "about 7 frames at 60 Hz";

    link_.setPaused(true);
    EXPECT_TRUE(link_.isPaused());
    frames_ = 0;
    runEventLoop(120);
    EXPECT_EQ(frames_, 0);

    link_.setPaused(false);
    runEventLoop(120);
    EXPECT_GE(frames_, 3);
    EXPECT_NEAR(link_.timestampNow(), SystemClock::shared().uptime(), 0.05);
}

TEST(QtDisplayLinkIntervalTest, UnusableRatesCountAsSixtyHertz) {
    struct Case {
        const char* name;
        double rateHz;
        int intervalMs;
    } cases[] = {{"60 Hz", 60, 17},
                 {"144 Hz", 144, 7},
                 {"zero", 0, 17},
                 {"NaN", NAN, 17},
                 {"absurd", 5000, 17}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(QtDisplayLink::intervalMs(c.rateHz), c.intervalMs);
    }
}

}  // namespace
}  // namespace vorela
