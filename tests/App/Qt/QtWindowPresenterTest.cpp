#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include "App/Qt/QtWindowPresenter.h"
#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Support/QtTestApp.h"

namespace vorela {
namespace {

class QtWindowPresenterTest : public ::testing::Test {
protected:
    QtWindowPresenterTest() {
        for (const WindowId id : kAllWindowIds) {
            presenter_.registerWindow(id, [this, id](const QtWindowPresenter::Opening& opening) {
                ++made_[id];
                lastOpening_ = opening;
                auto window = std::make_unique<QWidget>();
                auto* layout = new QVBoxLayout(window.get());
                auto* label = new QLabel(QString::fromUtf8(windowScene(id).identifier));
                label->setMinimumHeight(130);
                layout->addWidget(label);
                return window;
            });
        }
    }
    ~QtWindowPresenterTest() override { QApplication::processEvents(); }

    QApplication& app_ = testing::qtTestApp();
    ManualRunLoop loop_;
    int terminated_ = 0;
    QtWindowPresenter presenter_{loop_, [this] { ++terminated_; }};
    std::map<WindowId, int> made_;
    QtWindowPresenter::Opening lastOpening_;
};

TEST_F(QtWindowPresenterTest, EachWindowHasItsSceneTitleAndSize) {
    struct Case {
        WindowId id;
        const char* title;
        QSize size;
        bool isFixed;
    };
    // The about window takes its height from its content (here 130 plus the margins).
    const Case cases[] = {
        {WindowId::about, "Acerca de Vorela", {380, 0}, true},
        {WindowId::settings, "Preferencias", {700, 480}, true},
        {WindowId::onboarding, "Bienvenido a Vorela", {720, 560}, true},
        {WindowId::main, "Vorela", {860, 560}, false},
        {WindowId::voiceDebug, "Diagnóstico de voz", {520, 420}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        presenter_.open(c.id, false);
        QWidget* window = presenter_.window(c.id);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(window->isWindow());
        EXPECT_EQ(window->windowTitle(), QString::fromUtf8(c.title));
        EXPECT_EQ(window->width(), c.size.width());
        if (c.isFixed) {
            EXPECT_EQ(window->minimumWidth(), window->maximumWidth());
            EXPECT_EQ(window->minimumHeight(), window->maximumHeight());
            if (c.size.height() > 0)
                EXPECT_EQ(window->height(), c.size.height());
            else
                EXPECT_GE(window->height(), 130);
        } else {
            EXPECT_EQ(window->minimumSize(), c.size);
            EXPECT_GT(window->maximumWidth(), c.size.width());
        }
        const QImage shot = window->grab().toImage();
        QDir().mkpath("artifacts");
        shot.save(QString("artifacts/window-%1.png")
                      .arg(QString::fromUtf8(windowScene(c.id).identifier)));
    }
}

// The main window once opened at its scene's 860 x 560 while its content needed more:
// the control bar at the bottom was squeezed to a sliver.
TEST_F(QtWindowPresenterTest, AResizableWindowNeverShrinksBelowItsContent) {
    presenter_.registerWindow(WindowId::main, [](const auto&) {
        auto window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        auto* content = new QLabel("contenido");
        content->setMinimumSize(900, 700);
        layout->addWidget(content);
        return window;
    });
    presenter_.open(WindowId::main, false);
    QWidget* window = presenter_.window(WindowId::main);
    ASSERT_NE(window, nullptr);
    EXPECT_GE(window->minimumWidth(), 900);
    EXPECT_GE(window->minimumHeight(), 700);
    EXPECT_GE(window->height(), 700);
}

TEST_F(QtWindowPresenterTest, OpeningTwiceRaisesTheOneWindowAndClosingForgetsIt) {
    presenter_.open(WindowId::main, false);
    QWidget* first = presenter_.window(WindowId::main);
    presenter_.open(WindowId::about, false);
    presenter_.open(WindowId::main, false);
    EXPECT_EQ(presenter_.window(WindowId::main), first);
    EXPECT_EQ(made_[WindowId::main], 1);

    presenter_.dismiss(WindowId::main);
    QApplication::processEvents();
    EXPECT_EQ(presenter_.window(WindowId::main), nullptr) << "a closed window is deleted";
    presenter_.open(WindowId::main, false);
    EXPECT_NE(presenter_.window(WindowId::main), nullptr);
    EXPECT_EQ(made_[WindowId::main], 2);
}

TEST_F(QtWindowPresenterTest, TheMatcherTabFlagReachesOnlyTheSettingsAndRemakesItOnChange) {
    presenter_.open(WindowId::about, true);
    EXPECT_FALSE(lastOpening_.showsDebugTab) << "only the settings take the flag";

    presenter_.open(WindowId::settings, true);
    EXPECT_TRUE(lastOpening_.showsDebugTab);
    presenter_.open(WindowId::settings, true);
    EXPECT_EQ(made_[WindowId::settings], 1) << "the same flag raises the window it made";
    presenter_.open(WindowId::settings, false);
    EXPECT_EQ(made_[WindowId::settings], 2);
    EXPECT_FALSE(lastOpening_.showsDebugTab);
    EXPECT_TRUE(presenter_.window(WindowId::settings)->isVisible());
}

TEST_F(QtWindowPresenterTest, AWindowThatTakesTheFlagLiveKeepsItsContent) {
    std::vector<bool> updates;
    presenter_.registerWindow(
        WindowId::settings, [](const auto&) { return std::make_unique<QWidget>(); },
        [&](QWidget&, const QtWindowPresenter::Opening& opening) {
            updates.push_back(opening.showsDebugTab);
        });
    presenter_.open(WindowId::settings, false);
    QWidget* window = presenter_.window(WindowId::settings);
    presenter_.open(WindowId::settings, true);
    presenter_.open(WindowId::settings, true);
    presenter_.open(WindowId::settings, false);
    EXPECT_EQ(presenter_.window(WindowId::settings), window);
    EXPECT_EQ(updates, (std::vector<bool>{true, false})) << "only changes are handed on";
}

TEST_F(QtWindowPresenterTest, ActivationRaisesTheLastOpenedWindowAfterTheDelay) {
    presenter_.open(WindowId::about, false);
    presenter_.open(WindowId::settings, false);
    presenter_.window(WindowId::about)->activateWindow();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), presenter_.window(WindowId::about));

    presenter_.activateForWindow();
    loop_.advanceBy(0.049);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), presenter_.window(WindowId::about));
    loop_.advanceBy(0.001);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), presenter_.window(WindowId::settings));
}

TEST_F(QtWindowPresenterTest, UnregisteredWindowsOpenNothingAndTerminateIsHandedOn) {
    QtWindowPresenter bare(loop_, [this] { ++terminated_; });
    bare.open(WindowId::onboarding, false);
    EXPECT_EQ(bare.window(WindowId::onboarding), nullptr);
    EXPECT_FALSE(bare.isRegistered(WindowId::onboarding));

    bare.terminate();
    EXPECT_EQ(terminated_, 1);
}

}  // namespace
}  // namespace vorela
