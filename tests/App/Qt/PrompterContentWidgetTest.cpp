#include <QDir>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include "App/AppStateEnvironment.h"
#include "App/Qt/PrompterContentWidget.h"
#include "Platform/Windows/Linux/QtPanelWindow.h"
#include "Prefs/Prefs.h"
#include "Render/Qt/PrompterTextWidget.h"
#include "Support/QtTestApp.h"
#include "Window/PanelPlacement.h"
#include "Window/PrompterContentView.h"
#include "Window/Qt/ControlBar.h"
#include "Window/Qt/PanelGauges.h"

namespace vorela {
namespace {

// The panel content over the central state, on the offscreen platform, with the run
// loop's virtual clock driving its fades.
class PrompterContentWidgetTest : public testing::AppStateTest {
protected:
    struct App {
        App() { testing::qtTestApp(); }
    } app_;

    PrompterContentWidget& makeContent(QSize size = {620, 160}) {
        AppState& state = makeState();
        content_ = std::make_unique<PrompterContentWidget>(state, loop_);
        content_->resize(size);
        return *content_;
    }
    template <class T>
    T& child(const char* name) {
        T* found = content_->findChild<T*>(name);
        if (!found) ADD_FAILURE() << "no control named " << name;
        return *found;
    }
    void hover(bool inside) {
        QEvent event(inside ? QEvent::Enter : QEvent::Leave);
        QApplication::sendEvent(&content_->textWidget(), &event);
    }
    static void save(const QImage& image, const char* name) {
        QDir().mkpath("artifacts");
        image.save(QDir::current().absoluteFilePath(QString("artifacts/") + name));
    }

    std::unique_ptr<PrompterContentWidget> content_;
};

TEST_F(PrompterContentWidgetTest, TheControlBarFadesInWhileThePointerRestsOnTheText) {
    PrompterContentWidget& content = makeContent();
    EXPECT_EQ(content.controlBarOpacity(), 0);
    hover(true);
    EXPECT_TRUE(state_->isHovering.get());
    loop_.advanceBy(0.075);
    EXPECT_GT(content.controlBarOpacity(), 0.5);
    EXPECT_LT(content.controlBarOpacity(), 1);
    loop_.advanceBy(0.1);
    EXPECT_EQ(content.controlBarOpacity(), 1);

    hover(false);
    loop_.advanceBy(0.39);
    EXPECT_EQ(content.controlBarOpacity(), 1) << "the hover lasts until the resume delay";
    loop_.advanceBy(0.2);
    EXPECT_EQ(content.controlBarOpacity(), 0);
    EXPECT_FALSE(content.controlBar().isVisible());
}

TEST_F(PrompterContentWidgetTest, TheBarShowsRateTimeAndVoiceOnlyInVoiceModes) {
    makeContent();
    content_->show();
    hover(true);
    loop_.advanceBy(0.2);
    EXPECT_EQ(child<QLabel>("wpmLabel").text(), "140 ppm");
    EXPECT_EQ(child<QToolButton>("playPauseButton").toolTip(), "Reproducir");
    EXPECT_FALSE(child<PanelLevelMeter>("levelMeter").isVisible()) << "manual mode: no meter";
    EXPECT_FALSE(child<QLabel>("passThroughBadge").isVisible());
    const long words = static_cast<long>(state_->tokens.get().size());
    EXPECT_EQ(child<QLabel>("remainingTimeLabel").text().toStdString(),
              PrompterContentView::timeString(words / (140 / 60.0)));

    state_->setMode(PrompterMode::voiceActivated);
    EXPECT_TRUE(child<PanelLevelMeter>("levelMeter").isVisible());
    EXPECT_TRUE(child<QLabel>("statusLabel").isVisible());
    EXPECT_NEAR(child<PanelLevelMeter>("levelMeter").marker(), (-50 + 12 + 60) / 60.0, 1e-9);
    EXPECT_EQ(child<QToolButton>("playPauseButton").toolTip(), "Pausar");

    state_->isPassThroughActive.set(true);
    EXPECT_TRUE(child<QLabel>("passThroughBadge").isVisible());
    QTest::mouseClick(&child<QToolButton>("playPauseButton"), Qt::LeftButton);
    EXPECT_EQ(state_->playback.get(), PlaybackState::paused);
}

TEST_F(PrompterContentWidgetTest, TheTestPatternFillsTheSilhouetteInMagenta) {
    PrompterContentWidget& content = makeContent();
    state_->panelMode.set(PanelMode::floating);
    const QImage text = content.grab().toImage();
    save(text, "content-floating.png");
    state_->showsStealthTestPattern.set(true);
    EXPECT_FALSE(content.textWidget().isVisibleTo(&content));
    const QImage pattern = content.grab().toImage();
    save(pattern, "content-test-pattern.png");
    EXPECT_EQ(QColor(pattern.pixel(310, 60)), QColor(255, 0, 255));
    EXPECT_EQ(qAlpha(pattern.pixel(0, 0)), 0) << "the rounded corner stays transparent";
    EXPECT_EQ(qAlpha(pattern.pixel(619, 159)), 0);

    state_->panelMode.set(PanelMode::notch);
    const QImage notch = content.grab().toImage();
    save(notch, "content-test-pattern-notch.png");
    EXPECT_EQ(qAlpha(notch.pixel(0, 0)), 255) << "the notch silhouette has square top corners";
    EXPECT_EQ(qAlpha(notch.pixel(0, 159)), 0);
}

TEST_F(PrompterContentWidgetTest, WheelScrollsByHandAndOnlyNewWordRangesResetThePosition) {
    makeContent({620, 240}).show();
    state_->setMode(PrompterMode::classic);
    PrompterTextWidget& text = content_->textWidget();
    QWheelEvent wheel(QPointF(100, 100), QPointF(100, 100), QPoint(), QPoint(0, -3 * 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&text, &wheel);
    EXPECT_EQ(state_->mode.get(), PrompterMode::manual);
    // The widget's display link runs on Qt's timers and reads the virtual clock: let a few
    // real frames through, each half a second later on the clock.
    for (int i = 0; i < 10; ++i) {
        loop_.advanceBy(0.5);
        QTest::qWait(20);
    }
    EXPECT_NEAR(text.view().scrollY(), 3 * text.view().lineHeight(), 0.1);
    const long word = state_->currentTokenIndex.get();
    EXPECT_GT(word, 0);

    state_->setTranscriptionLocale(TranscriptionLocale::englishUS);
    EXPECT_EQ(state_->currentTokenIndex.get(), word) << "a language switch keeps the place";
    EXPECT_GT(text.view().scrollY(), 0);

    state_->load(state_->scriptText.get() + " más", "otro");
    EXPECT_EQ(text.view().scrollY(), 0) << "another text starts at the top";
    EXPECT_EQ(text.view().text(), state_->scriptText.get());
}

// The view lays a new text out when its words arrive; a text whose words are all the same
// as the last one's (only what follows the last word differs) must still reach it.
TEST_F(PrompterContentWidgetTest, EveryNewTextReachesTheViewWithItsOwnWords) {
    makeContent({620, 240}).show();
    PrompterTextView& view = content_->textWidget().view();
    const char* texts[] = {"hola mundo", "hola mundo\n\n🎉", "hola mundo", "otra cosa", "otra cosa"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        state_->load(text, "Prueba");
        EXPECT_EQ(view.text(), text);
        EXPECT_EQ(&view.tokens(), state_->tokens.get().list.get());
        EXPECT_GT(view.contentHeight(), 0);
    }
    state_->jumpToToken(1);
    EXPECT_EQ(view.currentTokenIndex(), 1);
}

TEST_F(PrompterContentWidgetTest, ANewWordRedrawsItsGaugesAndTheGlassSwitchTheBackground) {
    makeContent({620, 240}).show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(content_.get()));
    state_->load("uno dos tres cuatro cinco seis siete ocho nueve diez", "Prueba");
    QApplication::processEvents();
    struct PaintedArea : QObject {
        QRegion area;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) area += static_cast<QPaintEvent*>(event)->region();
            return false;
        }
    } painted;
    content_->installEventFilter(&painted);
    state_->jumpToToken(2);
    QApplication::processEvents();
    EXPECT_FALSE(painted.area.isEmpty()) << "the highlight moved";
    const QRect strip(0, 237, 620, 3);
    EXPECT_TRUE(painted.area.intersects(strip)) << "the progress moved";
    EXPECT_LT((painted.area - strip).boundingRect().height(), 100) << "not the whole panel";

    const auto backgroundAlpha = [&] { return qAlpha(content_->grab().toImage().pixel(600, 200)); };
    EXPECT_EQ(backgroundAlpha(), 255);
    Prefs::set(Prefs::Keys::glassBackground(), true);
    loop_.runUntilIdle();
    QApplication::processEvents();
    EXPECT_NEAR(backgroundAlpha(), 128, 1) << "the glass switch is followed";
}

TEST_F(PrompterContentWidgetTest, TheGaugesFollowJumpsAndARestartFromTheEnd) {
    // They read the position when the word index changed, before the position itself
    // had moved: after a restart from the end they showed 0:00 and a full bar.
    makeContent().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(content_.get()));
    state_->load("uno dos tres cuatro cinco seis siete ocho nueve diez", "Prueba");
    QApplication::processEvents();
    const auto remaining = [&] { return child<QLabel>("remainingTimeLabel").text().toStdString(); };
    state_->jumpToToken(9);
    EXPECT_EQ(child<ProgressStrip>("progressBar").progress(), 1);
    EXPECT_EQ(remaining(), PrompterContentView::timeString(1 / (140 / 60.0)));
    state_->restart();
    EXPECT_EQ(child<ProgressStrip>("progressBar").progress(), 0);
    EXPECT_EQ(remaining(), PrompterContentView::timeString(10 / (140 / 60.0)));
}

TEST_F(PrompterContentWidgetTest, ClickThroughWhileHoveringEndsTheHoverPause) {
    // The pointer over the panel when click-through turns on never leaves it as far as Qt
    // can tell, so the hover pause would hold playback forever.
    AppState& state = makeState();
    QtPanelWindow window({100, 100, 620, 160});
    auto* content = new PrompterContentWidget(state, loop_);
    window.setContent(content);
    window.orderFront();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    state.setMode(PrompterMode::classic);
    state.play();
    QTest::mouseMove(&content->textWidget(), QPoint(200, 60));
    QApplication::processEvents();
    ASSERT_TRUE(state.isHovering.get());
    ASSERT_EQ(state.playback.get(), PlaybackState::paused);

    window.setIgnoresMouseEvents(true);
    loop_.advanceBy(0.4);
    EXPECT_FALSE(state.isHovering.get());
    EXPECT_EQ(state.playback.get(), PlaybackState::playing);
}

}  // namespace
}  // namespace vorela
