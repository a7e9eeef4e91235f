#include <QDir>
#include <QGraphicsEffect>
#include <QImage>
#include <QLabel>
#include <QPaintEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <sstream>

#include "App/AppStateEnvironment.h"
#include "Onboarding/Qt/IntroStep.h"
#include "Onboarding/Qt/OnboardingWindow.h"
#include "Onboarding/Qt/StepDots.h"
#include "Onboarding/Qt/WelcomeHeroView.h"
#include "Platform/Speech/Fake/FakeSpeechAuthorization.h"
#include "Platform/Workspace/Linux/XdgOpenWorkspace.h"
#include "Script/SampleScript.h"
#include "Support/FakePanelController.h"
#include "Support/QtTestApp.h"
#include "Support/StubPrograms.h"
#include "Ui/LevelMeter.h"
#include "Ui/Style.h"
#include "Ui/ViewKit.h"

namespace vorela {
namespace {

// The rectangles a widget is asked to paint.
class PaintRecorder final : public QObject {
public:
    explicit PaintRecorder(QWidget& widget) { widget.installEventFilter(this); }
    std::vector<QRect> rects;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            for (const QRect& r : static_cast<QPaintEvent*>(event)->region()) rects.push_back(r);
        return false;
    }
};

class OnboardingWindowTest : public testing::AppStateTest {
protected:
    OnboardingWindowTest() { testing::qtTestApp(); }
    ~OnboardingWindowTest() override { window_.reset(); }

    OnboardingWindow& open() {
        makeState();
        window_ = std::make_unique<OnboardingWindow>(
            *state_, panel_,
            OnboardingServices{speech_, pasteboard_,
                               [this](const std::string& url) {
                                   urls_.push_back(url);
                                   return workspace_ ? workspace_->openURL(url) : true;
                               }},
            loop_, accessibility_, [this] { ++finished_; });
        window_->show();
        window_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        loop_.advanceBy(0.7);  // the entrance
        return *window_;
    }
    template <class T = QWidget>
    T* find(const char* name) {
        auto* found = window_->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    bool shows(const char* name) { return find(name)->isVisibleTo(window_.get()); }
    QString text(const char* name) { return find<QLabel>(name)->text(); }
    void click(const char* name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }
    QImage screenshot(const char* name) {
        QImage image = window_->grab().toImage();
        const QString folder = QDir::current().absoluteFilePath("artifacts");
        QDir().mkpath(folder);
        image.save(folder + "/" + name);
        return image;
    }
    static bool isAccent(QColor c) {
        const QColor a = Style::accent();
        return std::abs(c.red() - a.red()) < 12 && std::abs(c.green() - a.green()) < 12 &&
               std::abs(c.blue() - a.blue()) < 12;
    }
    void calibrate() {
        click("calibrateButton");
        loop_.runUntilIdle();
        hearRoom();
        loop_.advanceBy(2.1);
    }

    testing::FakePanelController panel_;
    FakeSpeechAuthorization speech_{loop_};
    std::vector<std::string> urls_;
    // The desktop's own opener, when a test gives one; else every link opens.
    std::unique_ptr<XdgOpenWorkspace> workspace_;
    int finished_ = 0;
    std::unique_ptr<OnboardingWindow> window_;
};

TEST_F(OnboardingWindowTest, AWalkThroughEveryStep) {
    Prefs::set(Prefs::Keys::transcriptionLocale(), TranscriptionLocale::spanishSpain);
    OnboardingWindow& window = open();
    EXPECT_EQ(window.windowTitle(), "Bienvenido a Vorela");
    EXPECT_EQ(window.size(), QSize(720, 560));
    EXPECT_TRUE(window.flow().appeared.get());
    EXPECT_DOUBLE_EQ(window.introStep()->appearance(), 1);
    EXPECT_FALSE(shows("backButton"));
    QImage image = screenshot("onboarding-0-intro.png");
    EXPECT_EQ(image.pixelColor(5, 5), QColor(18, 18, 18)) << "the dark window";
    const QPoint primary = find("primaryButton")->mapTo(&window, QPoint(5, 10));
    EXPECT_TRUE(isAccent(image.pixelColor(primary))) << "the prominent button";
    const QPoint dots = find("stepDots")->mapTo(&window, QPoint(4, 3));
    EXPECT_TRUE(isAccent(image.pixelColor(dots))) << "the first dot is the current one";
    const QPoint hero = find("welcomeHero")->mapTo(&window, QPoint(210, 40));
    EXPECT_EQ(image.pixelColor(hero), Qt::black) << "the panel hangs from the display's top";

    click("primaryButton");
    EXPECT_TRUE(shows("voiceStep"));
    EXPECT_TRUE(shows("backButton"));
    EXPECT_FALSE(shows("phraseSection")) << "the phrase waits for a calibration";
    EXPECT_FALSE(shows("permissionProblem"));
    calibrate();
    EXPECT_TRUE(shows("phraseSection"));
    EXPECT_EQ(text("calibrationResultLabel"), "Ruido de fondo: -44 dBFS");
    EXPECT_EQ(text("calibrationPhraseLabel").toStdString(), AppState::calibrationPhrase());
    click("measureButton");
    loop_.runUntilIdle();
    EXPECT_FALSE(find<QPushButton>("measureButton")->isEnabled());
    EXPECT_EQ(find<QPushButton>("measureButton")->text(), "Escuchando…");
    std::istringstream phrase(AppState::calibrationPhrase());
    std::vector<std::string> words;
    for (std::string w; phrase >> w;) words.push_back(w);
    words[3] = "semestre";
    loop_.advanceBy(1);
    engines_.last()->yield({words, true, std::nullopt, 0});
    loop_.advanceBy(7.1);
    EXPECT_EQ(text("qualityResultLabel"), "Te entiendo el 94% de las palabras");
    EXPECT_TRUE(find<QPushButton>("measureButton")->isEnabled());
    image = screenshot("onboarding-1-voice.png");
    const QPoint meter = find("levelMeter")->mapTo(&window, QPoint(1, 4));
    EXPECT_NE(image.pixelColor(meter), QColor(18, 18, 18)) << "the meter's track is drawn";

    click("primaryButton");
    EXPECT_TRUE(shows("scriptStep"));
    EXPECT_EQ(text("wordCountLabel"), "0 palabras");
    click("sampleButton");
    EXPECT_EQ(find<QPlainTextEdit>("draftEditor")->toPlainText().toStdString(),
              SampleScript::text());
    EXPECT_EQ(text("wordCountLabel").toStdString(), window.flow().wordCountText());
    find<QPlainTextEdit>("draftEditor")->moveCursor(QTextCursor::End);
    QTest::keyClicks(find<QPlainTextEdit>("draftEditor"), " y fin");
    EXPECT_EQ(window.flow().draft.get(), SampleScript::text() + " y fin")
        << "typing reaches the flow";
    screenshot("onboarding-2-script.png");

    click("primaryButton");
    EXPECT_TRUE(shows("readyStep"));
    EXPECT_EQ(state_->scriptTitle.get(), "Mi primer guion");
    EXPECT_TRUE(panel_.isVisible());
    EXPECT_EQ(find<QPushButton>("primaryButton")->text(), "Empezar");
    EXPECT_EQ(find("stepDots")->accessibleName(), "Paso 4 de 4");
    EXPECT_EQ(window.findChildren<QLabel*>("shortcutKey").size(), 4);
    loop_.advanceBy(0.3);
    EXPECT_DOUBLE_EQ(window.stepDots()->dotWidth(3), 18) << "the fourth dot is the wide one";
    EXPECT_DOUBLE_EQ(window.stepDots()->dotWidth(0), 6);
    screenshot("onboarding-3-ready.png");

    QTest::keyClick(find<QPushButton>("primaryButton"), Qt::Key_Return);
    EXPECT_EQ(finished_, 1);
    EXPECT_TRUE(Prefs::get(Prefs::Keys::didFinishOnboarding()));
}

TEST_F(OnboardingWindowTest, ARefusedMicrophoneShowsItsWayOn) {
    audio_->setAuthorizationStatus(AudioPermissionStatus::denied);
    open();
    click("primaryButton");
    calibrate();
    EXPECT_TRUE(shows("permissionProblem"));
    EXPECT_EQ(text("permissionProblemLabel"), "Falta el permiso de micrófono.");
    EXPECT_FALSE(shows("phraseSection"));
    EXPECT_FALSE(shows("calibrationResultLabel"));
    screenshot("onboarding-1-voice-refused.png");
    click("openSettingsButton");
    EXPECT_EQ(urls_.size(), 1u);

    audio_->setAuthorizationStatus(AudioPermissionStatus::authorized);
    calibrate();
    EXPECT_FALSE(shows("permissionProblem")) << "a later success clears the problem";
    EXPECT_TRUE(shows("phraseSection"));
}

// "Abrir la configuración del sistema" once did nothing on Linux: the opener refused the
// settings address. It now starts the desktop's first sound settings tool found on PATH.
TEST_F(OnboardingWindowTest, TheSettingsLinkStartsTheFirstSoundToolOnPathOrSaysThereIsNone) {
    testing::StubPrograms stubs;
    stubs.add("systemsettings");
    stubs.add("pavucontrol");
    const auto workspaceWithPath = [](const std::string& path) {
        auto environment = DesktopSettings::Environment::current();
        environment.path = path;
        return std::make_unique<XdgOpenWorkspace>("xdg-open", DesktopSettings(environment),
                                                  XdgOpenWorkspace::startDetached);
    };

    audio_->setAuthorizationStatus(AudioPermissionStatus::denied);
    workspace_ = workspaceWithPath("/nonexistent:" + stubs.bin().string());
    open();
    click("primaryButton");
    calibrate();
    click("openSettingsButton");
    ASSERT_TRUE(QTest::qWaitFor([&] { return stubs.ran().has_value(); }, 10000));
    EXPECT_EQ(stubs.ran(), "systemsettings kcm_pulseaudio")
        << "gnome-control-center is missing; KDE's settings come before pavucontrol";
    EXPECT_FALSE(shows("settingsProblemLabel"));

    workspace_ = workspaceWithPath("/nonexistent");
    click("openSettingsButton");
    EXPECT_TRUE(shows("settingsProblemLabel"));
    EXPECT_EQ(text("settingsProblemLabel").toStdString(),
              DesktopSettings::missingToolText(SettingsPage::microphone));
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    const QImage shot = screenshot("onboarding-1-voice-no-sound-settings.png");
    // The orange text sits under the link.
    const QLabel* label = find<QLabel>("settingsProblemLabel");
    const QRect area(label->mapTo(window_.get(), QPoint(0, 0)), label->size());
    int orange = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            orange += c.red() > 200 && c.green() > 100 && c.green() < 190 && c.blue() < 80;
        }
    EXPECT_GT(orange, 50) << "the text is drawn, in orange";
}

TEST_F(OnboardingWindowTest, ReturnAndSpaceReachTheRightControl) {
    OnboardingWindow& window = open();
    QTest::keyClick(&window, Qt::Key_Return);
    EXPECT_EQ(window.flow().step.get(), 1) << "Return is the primary button's";
    find("primaryButton")->clearFocus();
    QTest::keyClick(&window, Qt::Key_Space);
    EXPECT_EQ(window.flow().step.get(), 1) << "Space with no button focused does nothing";
    find("calibrateButton")->setFocus();
    QTest::keyClick(find("calibrateButton"), Qt::Key_Return);
    EXPECT_EQ(window.flow().step.get(), 2) << "Return still advances from another button";
    EXPECT_FALSE(window.flow().isCalibrating.get());

    auto* editor = find<QPlainTextEdit>("draftEditor");
    editor->setFocus();
    QTest::keyClicks(editor, "uno");
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClick(editor, Qt::Key_Space);
    EXPECT_EQ(window.flow().step.get(), 2) << "the editor keeps both keys for typing";
    EXPECT_EQ(window.flow().draft.get(), "uno\n ");

    find("sampleButton")->setFocus();
    QTest::keyClick(find("sampleButton"), Qt::Key_Space);
    EXPECT_EQ(window.flow().draft.get(), SampleScript::text())
        << "Space presses the focused button";
    EXPECT_EQ(window.flow().step.get(), 2);
}

TEST_F(OnboardingWindowTest, TheIllustrationRunsOnlyOnTheIntro) {
    OnboardingWindow& window = open();
    WelcomeHeroView* view = window.introStep()->heroView();
    ASSERT_NE(view->hero(), nullptr);
    loop_.advanceBy(3 * 0.42);
    const int spoken = view->hero()->spoken();
    EXPECT_GE(spoken, 3);
    click("primaryButton");
    EXPECT_EQ(view->hero(), nullptr) << "no timer runs for a hidden picture";
    click("backButton");
    ASSERT_NE(view->hero(), nullptr);
    EXPECT_EQ(view->hero()->spoken(), 0) << "a new illustration starts from its first bar";
    EXPECT_DOUBLE_EQ(window.introStep()->appearance(), 1) << "no second entrance";
}

// The welcome window kept 8 % of a core busy while it sat there: the illustration's
// frames were drawn whole, through three opacity effects the finished entrance no longer
// needed, and went on in a minimised window. A frame now draws what moves, only when seen.
TEST_F(OnboardingWindowTest, TheIllustrationDrawsOnlyWhatMovesAndOnlyWhileSeen) {
    OnboardingWindow& window = open();
    WelcomeHeroView* view = window.introStep()->heroView();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    for (auto* effect : window.introStep()->findChildren<QGraphicsEffect*>())
        EXPECT_FALSE(effect->isEnabled()) << "the entrance is over";

    PaintRecorder painted(*view);
    for (int frame = 0; frame < 30; ++frame) {
        loop_.advanceBy(1.0 / 60);
        QCoreApplication::processEvents();
    }
    ASSERT_FALSE(painted.rects.empty()) << "the picture moves";
    for (const QRect& rect : painted.rects)
        EXPECT_LE(rect.height(), 70) << "a strip of the picture, not the whole 210 rows";

    window.showMinimized();
    QCoreApplication::processEvents();
    EXPECT_FALSE(view->hero()->isAnimating()) << "nobody sees it";
    const int spoken = view->hero()->spoken();
    loop_.advanceBy(5);
    EXPECT_EQ(view->hero()->spoken(), spoken);
    window.showNormal();
    QCoreApplication::processEvents();
    EXPECT_TRUE(view->hero()->isAnimating());
    loop_.advanceBy(0.43);
    EXPECT_EQ(view->hero()->spoken(), spoken + 1) << "on from the same bar";

    // The entrance again: the effects fade the step in, then step aside.
    window.introStep()->appear();
    EXPECT_TRUE(window.introStep()->findChildren<QGraphicsEffect*>().front()->isEnabled());
    loop_.advanceBy(0.6);
    EXPECT_FALSE(window.introStep()->findChildren<QGraphicsEffect*>().front()->isEnabled());
}

TEST_F(OnboardingWindowTest, ReduceMotionShowsTheIntroAtOnceAndStill) {
    accessibility_.setReduceMotion(true);
    OnboardingWindow& window = open();
    EXPECT_FALSE(window.introStep()->heroView()->hero()->isAnimating());
    click("primaryButton");
    EXPECT_DOUBLE_EQ(window.stepDots()->dotWidth(1), 18) << "no glide";
}

}  // namespace
}  // namespace vorela
