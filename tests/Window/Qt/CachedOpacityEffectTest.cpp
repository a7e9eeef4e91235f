#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPainter>

#include "Support/QtTestApp.h"
#include "Window/Qt/CachedOpacityEffect.h"

namespace vorela {
namespace {

// A widget that paints a plain colour, standing for the text beneath the bar.
class Beneath final : public QWidget {
public:
    using QWidget::QWidget;
    QColor colour = Qt::darkBlue;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), colour); }
};

// On Qt's offscreen platform, as the panel's bar sits over its text.
class CachedOpacityEffectTest : public ::testing::Test {
protected:
    CachedOpacityEffectTest() {
        window_.resize(200, 60);
        beneath_ = new Beneath(&window_);
        beneath_->setGeometry(0, 0, 200, 60);
        bar_ = new QWidget(&window_);
        bar_->setGeometry(0, 20, 200, 40);
        label_ = new QLabel("12:00", bar_);
        label_->setGeometry(10, 5, 100, 30);
        label_->setStyleSheet("color: white;");
        effect_ = new CachedOpacityEffect(bar_);
        window_.show();
        QApplication::processEvents();
    }

    QImage shown() { return window_.grab().toImage(); }

    struct App {
        App() { testing::qtTestApp(); }
    } app_;  // first: widgets need the application
    QWidget window_;
    Beneath* beneath_ = nullptr;
    QWidget* bar_ = nullptr;
    QLabel* label_ = nullptr;
    CachedOpacityEffect* effect_ = nullptr;
};

TEST_F(CachedOpacityEffectTest, RepaintsBeneathReuseThePictureAndChangesRenewIt) {
    const QImage first = shown();
    const int paints = effect_->sourcePaints();
    ASSERT_GE(paints, 1);
    for (int i = 0; i < 5; ++i) beneath_->repaint();
    EXPECT_EQ(effect_->sourcePaints(), paints)
        << "the bar is not painted again for what lies beneath";

    beneath_->colour = Qt::darkGreen;
    beneath_->repaint();
    const QImage greener = shown();
    EXPECT_EQ(QColor(greener.pixel(150, 50)), QColor(Qt::darkGreen)) << "the bar lets it show";
    EXPECT_EQ(greener.copy(10, 25, 100, 30).pixel(5, 5), greener.pixel(150, 50));

    label_->setText("13:45");
    QApplication::processEvents();
    const QImage relabelled = shown();
    EXPECT_GT(effect_->sourcePaints(), paints) << "a child's change is drawn";
    EXPECT_NE(relabelled.copy(10, 25, 100, 30), greener.copy(10, 25, 100, 30));
    const int afterChange = effect_->sourcePaints();
    for (int i = 0; i < 5; ++i) beneath_->repaint();
    EXPECT_LE(effect_->sourcePaints(), afterChange + 1) << "a new picture is taken once";
}

TEST_F(CachedOpacityEffectTest, OpacityScalesTheBarOverWhatLiesBeneath) {
    const auto bright = [](const QImage& image) {
        int most = 0;
        for (int y = 25; y < 55; ++y)
            for (int x = 10; x < 110; ++x) most = std::max(most, qGreen(image.pixel(x, y)));
        return most;
    };
    const int full = bright(shown());
    effect_->setOpacity(0.5);
    QApplication::processEvents();
    const int half = bright(shown());
    EXPECT_NEAR(half, full / 2, 12);
    effect_->setOpacity(0);
    QApplication::processEvents();
    EXPECT_EQ(bright(shown()), 0) << "only the blue beneath shows";
}

}  // namespace
}  // namespace vorela
