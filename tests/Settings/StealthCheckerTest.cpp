#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Platform/Capture/Fake/FakeScreenCapture.h"
#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Platform/Screens/Fake/FakeScreens.h"
#include "Prefs/Prefs.h"
#include "Settings/StealthChecker.h"
#include "Support/RecordingLogSink.h"

namespace vorela {
namespace {

using Kind = StealthChecker::Status::Kind;
constexpr std::uint32_t kMagenta = 0xFF00FF;
constexpr std::uint32_t kDesktop = 0x204060;

// A 1000 × 800 point screen (origin bottom-left) with a 400 × 100 panel whose top edge
// is 50 points below the screen's top: in a 1× screenshot it covers (100, 50)-(500, 150).
const Rect kScreenFrame{0, 0, 1000, 800};
const Rect kPanel{100, 650, 400, 100};

class StealthCheckerTest : public ::testing::Test {
protected:
    StealthCheckerTest() {
        previousDefaults_ = UserDefaults::standard();
        UserDefaults::setStandard(defaults_);
        previousSink_ = Log::setSink(log_);
        fresh();
    }
    ~StealthCheckerTest() override {
        checker_.reset();
        UserDefaults::setStandard(previousDefaults_);
        Log::setSink(previousSink_);
    }

    // A new checker over a new capture, as a new tab makes.
    void fresh() {
        checker_.reset();
        capture_ = std::make_unique<FakeScreenCapture>(loop_);
        checker_ =
            std::make_unique<StealthChecker>(StealthChecker::Services{loop_, *capture_, "6.1.0"});
    }
    Screen screen(const char* id = "HDMI-1") const {
        return FakeScreens::makeScreen("Monitor", kScreenFrame, std::string(id));
    }
    // A screenshot of the desktop with the panel's place painted `panel` over `fraction`
    // of its rows (top first), at `scale` pixels per point.
    static CapturedImage shot(double fraction, int scale = 1, std::uint32_t panel = kMagenta) {
        auto image = CapturedImage::filled(1000 * scale, 800 * scale, kDesktop);
        image.fill({100L * scale, 50L * scale, 400L * scale, long(100 * scale * fraction)}, panel);
        return image;
    }
    void givenDisplay(int scale = 1, const char* id = "HDMI-1") {
        capture_->setDisplays(
            std::vector<CaptureDisplay>{{"DP-2", 1920, 1080}, {id, 1000 * scale, 800 * scale}});
    }
    void start(const Screen& s) {
        checker_->run(kPanel, s, [this](bool on) { pattern_.push_back(on); });
    }
    // Runs the check to its end: 0.5 s settle plus three 1 s waits.
    void runToEnd() {
        loop_.runUntilIdle();
        loop_.advanceBy(3.5);
        loop_.runUntilIdle();
    }
    const StealthChecker::Status& status() const { return checker_->status.get(); }

    ManualRunLoop loop_;
    std::shared_ptr<UserDefaults> defaults_ = UserDefaults::inMemory();
    std::shared_ptr<UserDefaults> previousDefaults_;
    std::shared_ptr<testing::RecordingLogSink> log_ = std::make_shared<testing::RecordingLogSink>();
    std::shared_ptr<LogSink> previousSink_;
    std::unique_ptr<FakeScreenCapture> capture_;
    std::unique_ptr<StealthChecker> checker_;
    std::vector<bool> pattern_;
};

TEST_F(StealthCheckerTest, MeasuresTheCapturesAndKeepsTheBestRatio) {
    struct Case {
        const char* name;
        std::vector<double> covered;  // per screenshot, the fraction of the panel in colour
        int scale;
        double ratio;
        bool isVisible;
    } cases[] = {
        {"fully visible", {1, 1, 1}, 1, 1.0, true},
        {"left out of the capture", {0, 0, 0}, 1, 0.0, false},
        {"partly covered, best of three", {0.05, 0.5, 0.2}, 1, 0.5, true},
        {"just below the threshold", {0.09, 0.09, 0.09}, 1, 0.09, false},
        {"exactly the threshold", {0.1, 0, 0}, 1, 0.1, true},
        {"scaled 2x", {1, 1, 1}, 2, 1.0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fresh();
        pattern_.clear();
        givenDisplay(c.scale);
        for (double f : c.covered) capture_->queueScreenshot(shot(f, c.scale));
        loop_.manualClock().setUptime(loop_.uptime() + 100);
        start(screen());
        EXPECT_EQ(status().kind, Kind::preparing);
        runToEnd();

        ASSERT_EQ(status().kind, Kind::done);
        const StealthResult& r = *status().result;
        EXPECT_NEAR(r.patternMatch, c.ratio, 1e-9);
        EXPECT_EQ(r.isVisible, c.isVisible);
        EXPECT_EQ(r.osVersion, "6.1.0");
        EXPECT_EQ(r.checkedAt, loop_.clock().now()) << "stamped at the end of the check";
        EXPECT_EQ(Prefs::get(Prefs::Keys::lastStealthResult()), r);
        EXPECT_EQ(pattern_, (std::vector<bool>{true, false}));
        ASSERT_EQ(capture_->requests().size(), 3u);
        EXPECT_EQ(capture_->requests()[0].widthPixels, 1000 * c.scale);
        // The crop of the panel region, shown at half its pixel size.
        ASSERT_TRUE(checker_->evidence.get());
        EXPECT_EQ(checker_->evidence.get()->image.width, 400 * c.scale);
        EXPECT_EQ(checker_->evidence.get()->displaySize, (Size{200.0 * c.scale, 50.0 * c.scale}));
    }
    EXPECT_EQ(log_->messages("stealth").back(),
              "Verificación de discreción: visible=true, patrón=1.000000");
}

TEST_F(StealthCheckerTest, TheWaitsComeBetweenTheSteps) {
    givenDisplay();
    capture_->queueScreenshot(shot(1), true);
    start(screen());
    loop_.runUntilIdle();
    EXPECT_EQ(pattern_, std::vector<bool>{true}) << "the pattern goes up before any capture";
    EXPECT_TRUE(capture_->requests().empty());
    loop_.advanceBy(0.5);
    EXPECT_EQ(status().kind, Kind::capturing);
    EXPECT_EQ(capture_->requests().size(), 1u);
    loop_.advanceBy(0.999);
    EXPECT_EQ(capture_->requests().size(), 1u);
    loop_.advanceBy(0.001);
    EXPECT_EQ(capture_->requests().size(), 2u);
    loop_.advanceBy(2);
    EXPECT_EQ(status().kind, Kind::done) << "a wait follows the last screenshot too";
}

TEST_F(StealthCheckerTest, FailuresReportTheirMessageAndLeaveTheStoredResult) {
    const StealthResult earlier{true, "6.0.0", Date{1000}, 0.8};
    struct Case {
        const char* name;
        ScreenCapture::DisplaysResult displays;
        const char* screenId;
        bool failScreenshot;
        std::string message;
        std::vector<bool> pattern;
    } cases[] = {
        {"permission denied",
         ScreenCaptureError::permissionDenied,
         "HDMI-1",
         false,
         describe(ScreenCaptureError::permissionDenied),
         {}},
        {"no display at all",
         std::vector<CaptureDisplay>{},
         "HDMI-1",
         false,
         StealthChecker::kDisplayNotFound,
         {}},
        // Measured on another display's image, the panel's frame reads as "not visible".
        {"the panel's screen matches no display",
         std::vector<CaptureDisplay>{{"DP-2", 1000, 800}},
         "HDMI-1",
         false,
         StealthChecker::kDisplayNotFound,
         {}},
        {"a screenshot fails",
         std::vector<CaptureDisplay>{{"HDMI-1", 1000, 800}},
         "HDMI-1",
         true,
         describe(ScreenCaptureError::captureFailed),
         {true, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Prefs::set(Prefs::Keys::lastStealthResult(), earlier);
        fresh();
        pattern_.clear();
        capture_->setDisplays(c.displays);
        capture_->queueScreenshot(shot(1));
        if (c.failScreenshot) capture_->queueScreenshot(ScreenCaptureError::captureFailed);
        start(screen(c.screenId));
        runToEnd();
        EXPECT_EQ(status(), StealthChecker::Status::failed(c.message));
        EXPECT_EQ(pattern_, c.pattern) << "the pattern is removed once, if it was shown";
        EXPECT_FALSE(checker_->evidence.get());
        EXPECT_EQ(Prefs::get(Prefs::Keys::lastStealthResult()), earlier);
    }
}

TEST_F(StealthCheckerTest, AFailedCheckClearsTheEvidenceOfAnEarlierOne) {
    givenDisplay();
    capture_->queueScreenshot(shot(1), true);
    start(screen());
    runToEnd();
    ASSERT_TRUE(checker_->evidence.get());
    capture_->setDisplays(ScreenCaptureError::permissionDenied);
    start(screen());
    EXPECT_FALSE(checker_->evidence.get()) << "cleared as the run starts";
    runToEnd();
    EXPECT_EQ(status().kind, Kind::failed);
}

TEST_F(StealthCheckerTest, DestroyingTheCheckerMidCheckRemovesThePattern) {
    // Closing the settings window during a check destroyed the checker with its timers:
    // nothing would ever call showPattern(false) and the panel stayed magenta.
    givenDisplay();
    capture_->queueScreenshot(shot(1), true);
    start(screen());
    loop_.runUntilIdle();
    loop_.advanceBy(1.0);  // capturing, one screenshot taken
    ASSERT_EQ(status().kind, Kind::capturing);
    checker_.reset();
    EXPECT_EQ(pattern_, (std::vector<bool>{true, false}));
    loop_.advanceBy(5);  // late completions and timers find nobody
    EXPECT_EQ(pattern_.size(), 2u);
    EXPECT_FALSE(Prefs::get(Prefs::Keys::lastStealthResult()));
}

TEST_F(StealthCheckerTest, AStoredResultIsStaleOnAnotherSystemVersion) {
    EXPECT_FALSE(checker_->isResultStale()) << "nothing stored";
    Prefs::set(Prefs::Keys::lastStealthResult(), StealthResult{false, "6.1.0", Date{1}, 0});
    EXPECT_FALSE(checker_->isResultStale());
    Prefs::set(Prefs::Keys::lastStealthResult(), StealthResult{false, "6.0.9", Date{1}, 0});
    EXPECT_TRUE(checker_->isResultStale());
}

TEST_F(StealthCheckerTest, TheStoredResultIsSortedJsonThatReadsBackOrNotAtAll) {
    const StealthResult r{true, "6.1.0", Date::fromReference(760000000.5), 0.25};
    Prefs::set(Prefs::Keys::lastStealthResult(), r);
    const PropertyList stored = defaults_->object("lastStealthResult").value_or(PropertyList());
    ASSERT_TRUE(stored.string());
    EXPECT_EQ(
        *stored.string(),
        R"({"checkedAt":760000000.5,"isVisible":true,"osVersion":"6.1.0","patternMatch":0.25})");
    for (const char* text :
         {R"({"checkedAt":1,"isVisible":1,"osVersion":"6","patternMatch":0})",
          R"({"checkedAt":true,"isVisible":true,"osVersion":"6","patternMatch":0})",
          R"({"isVisible":true,"osVersion":"6","patternMatch":0})", "nope"}) {
        SCOPED_TRACE(text);
        defaults_->set("lastStealthResult", PropertyList(std::string(text)));
        EXPECT_FALSE(Prefs::get(Prefs::Keys::lastStealthResult()));
    }
    defaults_->set("lastStealthResult", PropertyList(3.0));
    EXPECT_FALSE(Prefs::get(Prefs::Keys::lastStealthResult())) << "not a string";
}

}  // namespace
}  // namespace vorela
