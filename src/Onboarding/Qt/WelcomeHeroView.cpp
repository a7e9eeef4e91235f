#include "Onboarding/Qt/WelcomeHeroView.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "Platform/Loop/RunLoop.h"
#include "Ui/Style.h"
#include "Ui/ViewKit.h"

namespace vorela {
namespace {

constexpr double kFrameSeconds = 1.0 / 60;
constexpr double kScreenRadius = 14;
constexpr double kBarHeight = 7;
constexpr double kBarSpacing = 5;
constexpr double kRowsFrameHeight = 66;
constexpr double kMicFrameHeight = 10;

// The panel hanging from the display: rows 14 + 66 + 10, footer 10 + 10.
constexpr double kPanelLeft = (WelcomeHeroView::kWidth - WelcomeHeroView::kPanelWidth) / 2.0;
constexpr double kFooterTop = 14 + kRowsFrameHeight + 10;
const QRectF kPanel(kPanelLeft, 0, WelcomeHeroView::kPanelWidth, kFooterTop + kMicFrameHeight + 10);
const QRectF kRowsFrame(kPanelLeft + 16, 14, WelcomeHeroView::kPanelWidth - 32, kRowsFrameHeight);
// The microphone bars and the progress bar, with room for their antialiased edges.
const QRectF kFooterFrame(kPanelLeft + 12, kFooterTop - 2, WelcomeHeroView::kPanelWidth - 24,
                          kMicFrameHeight + 4);

QColor grey(double level) { return QColor::fromRgbF(float(level), float(level), float(level)); }

void capsule(QPainter& p, const QRectF& r, const QColor& c) {
    const double radius = std::min(r.width(), r.height()) / 2;
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(r, radius, radius);
}

// Square top corners, rounded bottom ones.
QPainterPath panelShape(const QRectF& r, double radius) {
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.topRight());
    path.lineTo(r.right(), r.bottom() - radius);
    path.quadTo(r.bottomRight(), QPointF(r.right() - radius, r.bottom()));
    path.lineTo(r.left() + radius, r.bottom());
    path.quadTo(r.bottomLeft(), QPointF(r.left(), r.bottom() - radius));
    path.closeSubpath();
    return path;
}

}  // namespace

WelcomeHeroView::WelcomeHeroView(RunLoop& loop, QWidget* parent) : QWidget(parent), loop_(loop) {
    setObjectName("welcomeHero");
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_TranslucentBackground);
}

WelcomeHeroView::~WelcomeHeroView() = default;

void WelcomeHeroView::setHero(std::unique_ptr<WelcomeHero> hero) {
    frames_.cancel();
    heroChanges_.cancel();
    hero_ = std::move(hero);
    if (hero_) {
        heroChanges_ = hero_->observe([this] { changed(); });
        if (!isVisible()) hero_->stop();
    }
    update();
}

void WelcomeHeroView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (hero_) hero_->start();
}

void WelcomeHeroView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    frames_.cancel();
    if (hero_) hero_->stop();
}

void WelcomeHeroView::setScale(double scale) {
    scale_ = scale;
    update();
}

void WelcomeHeroView::changed() {
    updateMovingParts();
    if (frames_.isActive()) return;
    frames_ = loop_.scheduleRepeating(kFrameSeconds, [this] {
        updateMovingParts();
        if (!hero_ || !hero_->isGliding()) frames_.cancel();
    });
}

void WelcomeHeroView::updateMovingParts() {
    // A whole frame of the picture is 210 rows: Qt hands fills that tall to its thread
    // pool, and at 60 frames a second the hand-offs cost more than the drawing.
    if (scale_ != 1) {
        update();
        return;
    }
    update(kRowsFrame.toAlignedRect());
    update(kFooterFrame.toAlignedRect());
}

QPixmap WelcomeHeroView::drawBackground(double devicePixelRatio) {
    QPixmap canvas(QSize(kWidth, kHeight) * devicePixelRatio);
    canvas.setDevicePixelRatio(devicePixelRatio);
    canvas.fill(Qt::transparent);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);

    // The display.
    const QRectF screen(0, 0, kWidth, kHeight);
    QLinearGradient gradient(screen.topLeft(), screen.bottomLeft());
    gradient.setColorAt(0, grey(0.2));
    gradient.setColorAt(1, grey(0.09));
    p.setBrush(gradient);
    p.setPen(QPen(Style::onDark(0.08), 1));
    p.drawRoundedRect(screen.adjusted(0.5, 0.5, -0.5, -0.5), kScreenRadius, kScreenRadius);

    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPath(panelShape(kPanel, kScreenRadius));

    // The camera.
    capsule(p, QRectF(kWidth / 2.0 - 2.5, 5, 5, 5), grey(0.28));
    p.end();
    return canvas;
}

void WelcomeHeroView::paintEvent(QPaintEvent*) {
    if (!hero_) return;
    const WelcomeHero& hero = *hero_;
    QPainter p(this);
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    p.translate(kWidth / 2.0, kHeight / 2.0);
    p.scale(scale_, scale_);
    p.translate(-kWidth / 2.0, -kHeight / 2.0);

    if (background_.isNull() || background_.devicePixelRatio() != devicePixelRatioF())
        background_ = drawBackground(devicePixelRatioF());
    p.drawPixmap(0, 0, background_);

    // Word rows, moved up to keep the current row in view, clipped to their frame.
    const QRectF& rowsFrame = kRowsFrame;
    p.save();
    p.setClipRect(rowsFrame);
    const auto& rows = WelcomeHero::rows();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        double x = rowsFrame.left();
        const double y =
            rowsFrame.top() + r * WelcomeHero::kRowPitchPoints - hero.drawnRowsOffset();
        for (std::size_t w = 0; w < rows[r].size(); ++w) {
            capsule(p, QRectF(x, y, rows[r][w], kBarHeight),
                    ViewKit::qColor(hero.drawnColor(int(r), int(w))));
            x += rows[r][w] + kBarSpacing;
        }
    }
    p.restore();

    // Footer: microphone bars standing on a 10-point frame, then the progress bar.
    const double footerLeft = kPanelLeft + 14;
    const double micMiddle = kFooterTop + kMicFrameHeight / 2;
    QColor micColor = Style::accent();
    micColor.setAlphaF(0.9f);
    for (int bar = 0; bar < 4; ++bar) {
        const double h = hero.drawnMicBarHeight(bar);
        capsule(p, QRectF(footerLeft + bar * 4, micMiddle - h / 2, 2, h), micColor);
    }
    const double progressLeft = footerLeft + 4 * 2 + 3 * 2 + 6;
    const double progressWidth = kPanel.right() - 14 - progressLeft;
    const QRectF track(progressLeft, micMiddle - 1.5, progressWidth, 3);
    capsule(p, track, Style::onDark(0.12));
    capsule(p, QRectF(track.left(), track.top(), progressWidth * hero.drawnProgressFraction(), 3),
            Style::accent());
}

}  // namespace vorela
