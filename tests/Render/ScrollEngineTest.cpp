#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "Platform/Accessibility/Fake/FakeAccessibilitySettings.h"
#include "Platform/Display/Fake/FakeDisplayLink.h"
#include "Render/ScrollEngine.h"

namespace vorela {
namespace {

class ScrollEngineTest : public ::testing::Test {
protected:
    ScrollEngineTest() {
        engine_.setOnTick([this](double dt) {
            ticks_.push_back(dt);
            if (moveTargetOnTick_) engine_.setTargetY(*moveTargetOnTick_);
        });
        engine_.setOnChange([this](double y) { changes_.push_back(y); });
        engine_.start(view_);
    }

    FakeAccessibilitySettings accessibility_;
    FakeDisplayLinkSource view_;
    ScrollEngine engine_{0.18, accessibility_};
    std::vector<double> ticks_;
    std::vector<double> changes_;
    std::optional<double> moveTargetOnTick_;
};

TEST_F(ScrollEngineTest, OneFrameEasesByTheTimeConstant) {
    struct Case {
        const char* name;
        bool reduceMotion;
        double expectedMove;
    } cases[] = {
        {"base time constant 0.18 s", false, 8.84},
        {"reduced motion, 0.05 s", true, 28.35},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        accessibility_.setReduceMotion(c.reduceMotion);
        engine_.setScrollY(0);
        engine_.setTargetY(100);
        view_.fire(10.0);
        changes_.clear();
        view_.fire(10.0 + 1.0 / 60);
        ASSERT_EQ(changes_.size(), 1u);
        EXPECT_NEAR(changes_[0], c.expectedMove, 0.005);
        EXPECT_DOUBLE_EQ(engine_.scrollY(), changes_[0]);
    }
}

TEST_F(ScrollEngineTest, FirstFrameOnlyRecordsItsTimeAndBadDeltasDoNothing) {
    engine_.setTargetY(100);
    view_.fire(5.0);
    EXPECT_TRUE(ticks_.empty());
    EXPECT_TRUE(changes_.empty());

    view_.fire(5.0);  // dt = 0
    view_.fire(4.9);  // clock went back: dt < 0
    EXPECT_TRUE(ticks_.empty());
    EXPECT_TRUE(changes_.empty());
    EXPECT_EQ(engine_.scrollY(), 0);

    // The backward frame still became the reference: the next dt is measured from it.
    view_.fire(5.0);
    ASSERT_EQ(ticks_.size(), 1u);
    EXPECT_NEAR(ticks_[0], 0.1, 1e-9);
}

TEST_F(ScrollEngineTest, SnapsOnceInsideTheSnapDistanceThenRests) {
    engine_.setTargetY(0.04);
    view_.fire(1.0);
    view_.fire(1.0 + 1.0 / 60);
    ASSERT_EQ(changes_.size(), 1u);
    EXPECT_EQ(changes_[0], 0.04);

    EXPECT_EQ(view_.runningCount(), 0u) << "at rest the link pauses";
    view_.fire(1.0 + 2.0 / 60);
    EXPECT_EQ(changes_.size(), 1u) << "at rest nobody is told";
    EXPECT_EQ(ticks_.size(), 1u);
}

TEST_F(ScrollEngineTest, TheLinkRunsOnlyWhileSomethingMoves) {
    bool needsTicks = false;
    engine_.setNeedsTicks([&needsTicks] { return needsTicks; });
    EXPECT_FALSE(engine_.isRunning()) << "still from the start";
    view_.fire(1.0);
    EXPECT_TRUE(ticks_.empty());

    struct Step {
        const char* name;
        std::function<void()> change;
        bool running;
    } steps[] = {
        {"the owner needs ticks and wakes the engine", [&] { needsTicks = true, engine_.wake(); },
         true},
        {"a frame with nothing to move keeps ticking", [&] { view_.fire(2.0); }, true},
        {"the owner no longer needs ticks", [&] { needsTicks = false; }, true},
        {"the next frame finds everything still", [&] { view_.fire(2.1); }, false},
        {"waking with nothing to do leaves it paused", [&] { engine_.wake(); }, false},
        {"a new target resumes it", [&] { engine_.setTargetY(30); }, true},
        {"an offset set off the target resumes it too",
         [&] { engine_.setTargetY(0), engine_.setScrollY(0), engine_.setScrollY(5); }, true},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        step.change();
        EXPECT_EQ(engine_.isRunning(), step.running);
        EXPECT_EQ(view_.runningCount(), step.running ? 1u : 0u);
    }
}

TEST_F(ScrollEngineTest, AFrameAfterAPauseIsMeasuredFromTheWake) {
    // Resuming from a pause must not count the pause as one long frame: a playing script
    // would leap ahead by every second it was paused. The frame clock restarts at the wake.
    engine_.setTargetY(0.04);
    view_.fire(1.0);
    view_.fire(1.0 + 1.0 / 60);
    ASSERT_FALSE(engine_.isRunning());
    ticks_.clear();

    view_.fire(11.0);  // ten seconds pass paused: no frame arrives
    EXPECT_TRUE(ticks_.empty());
    engine_.setTargetY(20);
    view_.fire(11.0 + 1.0 / 60);
    ASSERT_EQ(ticks_.size(), 1u) << "the first frame after the wake already moves";
    EXPECT_NEAR(ticks_[0], 1.0 / 60, 1e-9);
}

TEST_F(ScrollEngineTest, ATargetMovedDuringTheTickIsFollowedInTheSameFrame) {
    moveTargetOnTick_ = 50.0;
    engine_.setNeedsTicks([] { return true; });
    engine_.wake();
    view_.fire(2.0);
    view_.fire(2.0 + 1.0 / 60);
    ASSERT_EQ(changes_.size(), 1u);
    EXPECT_NEAR(changes_[0], 50 * (1 - std::exp(-(1.0 / 60) / 0.18)), 1e-9);
}

TEST_F(ScrollEngineTest, AHundredPointJumpSettlesExactlyOnItsTarget) {
    engine_.setTargetY(-100);  // upward too: the snap looks at the distance, not its sign
    double t = 0;
    view_.fire(t);
    for (int frame = 0; frame < 120 && engine_.scrollY() != -100; ++frame)
        view_.fire(t += 1.0 / 60);
    EXPECT_EQ(engine_.scrollY(), -100);
    // 0.18 s x ln(100 / 0.05) is about 1.37 s, i.e. 83 frames at 60 Hz, plus the snap.
    EXPECT_NEAR(static_cast<double>(changes_.size()), 83, 2);
}

TEST_F(ScrollEngineTest, StartingTwiceMakesOneLink) {
    FakeDisplayLinkSource otherView;
    engine_.start(view_);
    engine_.start(otherView);
    EXPECT_EQ(view_.madeCount(), 1);
    EXPECT_EQ(otherView.madeCount(), 0);
    EXPECT_TRUE(engine_.hasDisplayLink());
}

TEST(ScrollEngineLifetimeTest, DestroyingTheEngineStopsItsLink) {
    FakeAccessibilitySettings accessibility;
    FakeDisplayLinkSource view;
    {
        ScrollEngine engine(0.18, accessibility);
        engine.start(view);
        EXPECT_EQ(view.liveCount(), 1u);
    }
    EXPECT_EQ(view.liveCount(), 0u);
    view.fire(1.0);  // nothing left to call into
}

}  // namespace
}  // namespace vorela
