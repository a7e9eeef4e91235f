#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "App/AppStateEnvironment.h"
#include "App/PanelController.h"
#include "App/Qt/QtPanelFactory.h"
#include "Platform/Capture/Linux/X11ScreenCapture.h"
#include "Platform/Foundation/SystemVersion.h"
#include "Platform/Input/Linux/QtInput.h"
#include "Platform/Loop/Linux/QtRunLoop.h"
#include "Platform/Screens/Linux/QtScreens.h"
#include "Platform/Workspace/Fake/FakeWorkspace.h"
#include "Settings/Qt/DiscretionTab.h"
#include "Settings/StealthChecker.h"
#include "Settings/StealthMeasure.h"
#include "Support/XDesktop.h"

namespace vorela {
namespace {

// The real thing on an X server with a window manager: the real panel, the real root
// window capture and the tab, with the check's waits on Qt's own timers.
class DiscretionTabX11Test : public testing::AppStateTest {
protected:
    void SetUp() override {
        if (!testing::XDesktop::shared().isReady()) GTEST_SKIP() << "needs Xvfb and openbox";
        AppState& state = makeState();
        screens_ = std::make_unique<QtScreens>();
        factory_ = std::make_unique<QtPanelFactory>(state, loop_);
        controller_ = std::make_unique<PanelController>(
            PanelController::Services{state, loop_, *screens_, input_, *factory_});
        checkLoop_ = std::make_unique<QtRunLoop>(&context_, SystemClock::shared());
        capture_ = std::make_unique<X11ScreenCapture>(*checkLoop_);
    }
    void TearDown() override {
        tab_.reset();
        controller_.reset();
        QTest::qWait(50);
    }
    void settle() {
        for (int i = 0; i < 10; ++i) {
            loop_.advanceBy(0.1);  // hover delay and fades are over
            QTest::qWait(30);
        }
    }
    // A screenshot of the panel's region now, through the capture layer itself.
    double patternOnScreenNow() {
        std::optional<double> ratio;
        const Rect frame = controller_->panel()->frameOnScreen();
        const auto screen = *StealthMeasure::screenOf(frame, screens_->screens());
        capture_->screenshot(
            {*screen.deviceIdentifier, 0, 0}, [&](const ScreenCapture::ImageResult& r) {
                const auto& image = std::get<CapturedImage>(r);
                ratio = StealthMeasure::patternRatio(
                    image,
                    StealthMeasure::panelRegion(frame, screen.frame, image.width, image.height));
            });
        (void)QTest::qWaitFor([&] { return ratio.has_value(); }, 2000);
        return ratio.value_or(-1);
    }

    QObject context_;
    std::unique_ptr<QtScreens> screens_;
    QtInput input_;
    std::unique_ptr<QtPanelFactory> factory_;
    std::unique_ptr<PanelController> controller_;
    std::unique_ptr<QtRunLoop> checkLoop_;
    std::unique_ptr<X11ScreenCapture> capture_;
    FakeWorkspace workspace_;
    std::unique_ptr<DiscretionTab> tab_;
};

TEST_F(DiscretionTabX11Test, TheRealPanelIsCapturedAndFoundVisible) {
    ASSERT_TRUE(X11ScreenCapture::isAvailable());
    testing::run({"xdotool", "mousemove", "1270", "790"});  // away from the panel: no hover bar
    controller_->show();
    auto* panelWidget = dynamic_cast<QWidget*>(controller_->panel());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panelWidget));
    settle();
    tab_ =
        std::make_unique<DiscretionTab>(*state_, *controller_, *screens_, workspace_,
                                        std::make_unique<StealthChecker>(StealthChecker::Services{
                                            *checkLoop_, *capture_, currentSystemVersion()}));
    tab_->setGeometry(20, 300, 700, 480);
    tab_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(tab_.get()));
    EXPECT_LT(patternOnScreenNow(), 0.01) << "the script shows before the check";

    QTest::mouseClick(tab_->findChild<QPushButton*>("verifyButton"), Qt::LeftButton);
    const StealthChecker& checker = tab_->checker();
    EXPECT_TRUE(checker.status.get().isRunning());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !checker.status.get().isRunning(); }, 15000));

    const auto& status = checker.status.get();
    ASSERT_EQ(status.kind, StealthChecker::Status::Kind::done) << status.message;
    // X11 cannot keep a window out of a capture: the true answer is "visible", measured.
    EXPECT_TRUE(status.result->isVisible);
    EXPECT_GT(status.result->patternMatch, 0.9) << "rounded corners aside, all magenta";
    EXPECT_EQ(Prefs::get(Prefs::Keys::lastStealthResult()), status.result);
    EXPECT_FALSE(state_->showsStealthTestPattern.get()) << "the pattern is off after the check";
    QTest::qWait(100);
    EXPECT_LT(patternOnScreenNow(), 0.01) << "and the screen shows the script again";
    EXPECT_TRUE(controller_->isVisible.get());

    QCoreApplication::processEvents();
    const QImage shot = tab_->grab().toImage();
    QDir().mkpath("artifacts");
    shot.save(QDir::current().absoluteFilePath("artifacts/discretion-tab-x11-visible.png"));
    auto* evidence = tab_->findChild<QLabel*>("evidenceImage");
    ASSERT_TRUE(evidence->isVisible());
    const QPoint centre = evidence->mapTo(tab_.get(), evidence->rect().center());
    EXPECT_EQ(QColor(shot.pixel(centre * shot.devicePixelRatio())), QColor(255, 0, 255))
        << "the evidence shows the captured pattern";
    EXPECT_EQ(tab_->findChild<QLabel*>("resultTitle")->text(),
              "Tu prompter SÍ aparece al compartir la pantalla completa");
}

}  // namespace
}  // namespace vorela
