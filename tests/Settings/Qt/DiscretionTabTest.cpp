#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "App/AppStateEnvironment.h"
#include "App/PanelController.h"
#include "Platform/Capture/Fake/FakeScreenCapture.h"
#include "Platform/Input/Fake/FakeInput.h"
#include "Platform/Screens/Fake/FakeScreens.h"
#include "Platform/Windows/Fake/FakePanelWindow.h"
#include "Platform/Workspace/Fake/FakeWorkspace.h"
#include "Platform/Workspace/Linux/XdgOpenWorkspace.h"
#include "Settings/Qt/DiscretionTab.h"
#include "Settings/StealthChecker.h"
#include "Support/QtTestApp.h"
#include "Support/StubPrograms.h"

namespace vorela {
namespace {

// The tab over a fake panel and a fake capture; the check runs on the virtual clock.
class DiscretionTabTest : public testing::AppStateTest {
protected:
    DiscretionTabTest() {
        testing::qtTestApp();
        screens_.setScreens({FakeScreens::makeScreen("Monitor", {0, 0, 1280, 800}, "HDMI-1")});
        capture_.setDisplays(std::vector<CaptureDisplay>{{"HDMI-1", 1280, 800}});
        AppState& state = makeState();
        controller_ = std::make_unique<PanelController>(
            PanelController::Services{state, loop_, screens_, input_, windows_});
    }
    ~DiscretionTabTest() override {
        tab_.reset();
        controller_.reset();
    }
    DiscretionTab& makeTab(Workspace* workspace = nullptr) {
        tab_ = std::make_unique<DiscretionTab>(
            *state_, *controller_, screens_, workspace ? *workspace : workspace_,
            std::make_unique<StealthChecker>(StealthChecker::Services{loop_, capture_, "6.1.0"}));
        tab_->resize(700, 480);
        tab_->show();
        return *tab_;
    }
    template <class T>
    T* find(const char* name) {
        return tab_->findChild<T*>(name);
    }
    // The screenshot of the panel's display: magenta wherever the panel is.
    CapturedImage screenWithPanel() {
        auto image = CapturedImage::filled(1280, 800, 0x303030);
        const Rect f = controller_->panel()->frame();
        image.fill({long(f.x), long(800 - f.maxY()), long(f.width), long(f.height)}, 0xFF00FF);
        return image;
    }
    void runCheck() {
        QTest::mouseClick(find<QPushButton>("verifyButton"), Qt::LeftButton);
        loop_.runUntilIdle();
        loop_.advanceBy(3.5);
        loop_.runUntilIdle();
    }
    void save(const char* name) {
        QCoreApplication::processEvents();  // the layout settles as the application's loop would
        QDir().mkpath("artifacts");
        tab_->grab().save(QDir::current().absoluteFilePath(QString("artifacts/") + name));
    }

    FakeScreens screens_;
    FakeInput input_;
    FakePanelWindowFactory windows_;
    FakeScreenCapture capture_{loop_};
    std::unique_ptr<PanelController> controller_;
    FakeWorkspace workspace_;
    std::unique_ptr<DiscretionTab> tab_;
};

TEST_F(DiscretionTabTest, WithThePanelHiddenTheCheckCannotStart) {
    Prefs::set(Prefs::Keys::lastStealthResult(), StealthResult{true, "6.0.0", Date{1}, 0.9});
    makeTab();
    auto* button = find<QPushButton>("verifyButton");
    EXPECT_FALSE(button->isEnabled());
    EXPECT_EQ(button->text(), "Verificar discreción");
    EXPECT_TRUE(find<QLabel>("panelHint")->isVisible());
    EXPECT_TRUE(find<QLabel>("storedResult")->isVisible());
    EXPECT_EQ(find<QLabel>("storedResult")->text(),
              "Tu sistema se actualizó desde la última verificación. Conviene repetirla.");
    save("discretion-tab-panel-hidden.png");

    controller_->show();
    EXPECT_TRUE(button->isEnabled()) << "follows the panel";
    EXPECT_FALSE(find<QLabel>("panelHint")->isVisible());
}

TEST_F(DiscretionTabTest, ACheckShowsItsVerdictWithTheEvidence) {
    controller_->show();
    makeTab();
    capture_.queueScreenshot(screenWithPanel(), true);
    QTest::mouseClick(find<QPushButton>("verifyButton"), Qt::LeftButton);
    loop_.runUntilIdle();
    EXPECT_TRUE(state_->showsStealthTestPattern.get());
    EXPECT_EQ(find<QPushButton>("verifyButton")->text(), "Verificando…");
    EXPECT_FALSE(find<QPushButton>("verifyButton")->isEnabled());
    loop_.advanceBy(3.5);
    loop_.runUntilIdle();

    EXPECT_FALSE(state_->showsStealthTestPattern.get()) << "the pattern is off after the check";
    EXPECT_EQ(find<QLabel>("resultTitle")->text(),
              "Tu prompter SÍ aparece al compartir la pantalla completa");
    EXPECT_TRUE(find<QLabel>("resultAdvice")->isVisible());
    EXPECT_FALSE(find<QLabel>("storedResult")->isVisible());
    auto* evidence = find<QLabel>("evidenceImage");
    ASSERT_TRUE(evidence->isVisible());
    const QImage crop = evidence->pixmap().toImage();
    EXPECT_LE(crop.height() / crop.devicePixelRatio(), 90) << "at most 90 points high";
    EXPECT_EQ(QColor(crop.pixel(crop.width() / 2, crop.height() / 2)), QColor(255, 0, 255));
    save("discretion-tab-visible.png");
}

TEST_F(DiscretionTabTest, AFailureShowsItsMessageAndDropsTheEvidence) {
    controller_->show();
    makeTab();
    capture_.queueScreenshot(screenWithPanel(), true);
    runCheck();
    ASSERT_TRUE(find<QWidget>("evidence")->isVisible());
    capture_.setDisplays(ScreenCaptureError::permissionDenied);
    runCheck();
    EXPECT_EQ(find<QLabel>("resultTitle")->text().toStdString(),
              describe(ScreenCaptureError::permissionDenied));
    EXPECT_FALSE(find<QWidget>("evidence")->isVisible());
    EXPECT_FALSE(find<QLabel>("resultDetail")->isVisible());
    save("discretion-tab-failed.png");
}

// The failure's permissions link: X11 has no such permission, so the link would open a
// page that grants nothing; a Wayland session with the desktop portal has one.
TEST_F(DiscretionTabTest, TheFailureOffersThePermissionOnlyWhereTheSessionHasOne) {
    testing::StubPrograms stubs;
    stubs.add("gnome-control-center");
    const std::string portal = "/usr/share/dbus-1/services/org.freedesktop.portal.Desktop.service";
    const auto session = [&](const char* type, const std::string& path) {
        auto environment = DesktopSettings::Environment::current();
        environment.sessionType = type;
        environment.hasWaylandDisplay = false;
        environment.dataDirs = "/usr/share";
        environment.path = path;
        environment.exists = [portal](const std::string& file) { return file == portal; };
        return std::make_unique<XdgOpenWorkspace>("xdg-open", DesktopSettings(environment),
                                                  XdgOpenWorkspace::startDetached);
    };
    const auto failCheck = [&](Workspace& workspace) {
        makeTab(&workspace);
        capture_.setDisplays(ScreenCaptureError::permissionDenied);
        runCheck();
        EXPECT_EQ(find<QLabel>("resultTitle")->text().toStdString(),
                  describe(ScreenCaptureError::permissionDenied));
    };
    controller_->show();

    auto x11 = session("x11", stubs.bin().string());
    failCheck(*x11);
    EXPECT_FALSE(find<QPushButton>("permissionsButton")->isVisible());
    save("discretion-tab-failed-x11.png");

    auto wayland = session("wayland", stubs.bin().string());
    failCheck(*wayland);
    auto* action = find<QPushButton>("permissionsButton");
    ASSERT_TRUE(action->isVisible());
    EXPECT_EQ(action->text(), "Abrir permisos de grabación de pantalla");
    save("discretion-tab-failed-wayland.png");
    QTest::mouseClick(action, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return stubs.ran().has_value(); }, 10000));
    EXPECT_EQ(stubs.ran(), "gnome-control-center privacy");
    EXPECT_FALSE(find<QLabel>("permissionsProblem")->isVisible());

    auto bare = session("wayland", "/nonexistent");
    failCheck(*bare);
    QTest::mouseClick(find<QPushButton>("permissionsButton"), Qt::LeftButton);
    auto* problem = find<QLabel>("permissionsProblem");
    EXPECT_TRUE(problem->isVisible());
    EXPECT_EQ(problem->text().toStdString(),
              DesktopSettings::missingToolText(SettingsPage::screenCapture));
    save("discretion-tab-failed-wayland-no-settings.png");
}

TEST_F(DiscretionTabTest, ClosingTheTabMidCheckLeavesThePanelAsItWas) {
    // The tab owns its checker: closing the settings window mid-check used to drop the
    // check with the pattern still up, leaving the prompter magenta.
    controller_->show();
    const Rect frame = controller_->panel()->frame();
    makeTab();
    capture_.queueScreenshot(screenWithPanel(), true);
    QTest::mouseClick(find<QPushButton>("verifyButton"), Qt::LeftButton);
    loop_.runUntilIdle();
    loop_.advanceBy(1);
    ASSERT_TRUE(state_->showsStealthTestPattern.get());
    tab_.reset();
    loop_.advanceBy(5);
    EXPECT_FALSE(state_->showsStealthTestPattern.get());
    EXPECT_TRUE(controller_->isVisible.get());
    EXPECT_EQ(controller_->panel()->frame(), frame);
    EXPECT_FALSE(Prefs::get(Prefs::Keys::lastStealthResult()));
}

}  // namespace
}  // namespace vorela
