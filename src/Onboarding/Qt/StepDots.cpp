#include "Onboarding/Qt/StepDots.h"

#include <QPainter>

#include "Platform/Loop/RunLoop.h"
#include "Ui/Style.h"
#include "Ui/ViewKit.h"

namespace vorela {
namespace {

constexpr double kDotHeight = 6;
constexpr double kSmallWidth = 6;
constexpr double kWideWidth = 18;
constexpr double kSpacing = 6;
constexpr double kGlideSeconds = 0.2;
constexpr double kFrameSeconds = 1.0 / 60;

QColor blend(const QColor& a, const QColor& b, double t) {
    auto lerp = [t](float x, float y) { return x + (y - x) * float(t); };
    return QColor::fromRgbF(lerp(a.redF(), b.redF()), lerp(a.greenF(), b.greenF()),
                            lerp(a.blueF(), b.blueF()), lerp(a.alphaF(), b.alphaF()));
}

}  // namespace

StepDots::StepDots(RunLoop& loop, int stepCount, bool reduceMotion, QWidget* parent)
    : QWidget(parent), loop_(loop), reduceMotion_(reduceMotion) {
    setObjectName("stepDots");
    for (int i = 0; i < stepCount; ++i) emphasis_.push_back(Tween::at(i == 0 ? 1 : 0));
    setFixedSize(int(kWideWidth + (stepCount - 1) * (kSmallWidth + kSpacing)), int(kDotHeight));
}

void StepDots::setStep(int step, const QString& accessibleLabel) {
    setAccessibleName(accessibleLabel);
    const double now = loop_.uptime();
    const double duration = reduceMotion_ ? 0 : kGlideSeconds;
    for (std::size_t i = 0; i < emphasis_.size(); ++i)
        emphasis_[i] =
            emphasis_[i].retargeted(int(i) == step ? 1 : 0, now, duration, Tween::Curve::easeOut);
    update();
    if (duration > 0 && !frames_.isActive()) {
        frames_ = loop_.scheduleRepeating(kFrameSeconds, [this] {
            update();
            const double at = loop_.uptime();
            bool done = true;
            for (const Tween& t : emphasis_) done = done && t.isDone(at);
            if (done) frames_.cancel();
        });
    }
}

double StepDots::dotWidth(int index) const {
    const double t = emphasis_.at(std::size_t(index)).value(loop_.uptime());
    return kSmallWidth + (kWideWidth - kSmallWidth) * t;
}

void StepDots::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QColor dim = Style::onDark(0.2);
    const double now = loop_.uptime();
    double x = 0;
    for (std::size_t i = 0; i < emphasis_.size(); ++i) {
        const double w = dotWidth(int(i));
        p.setBrush(blend(dim, Style::accent(), emphasis_[i].value(now)));
        p.drawRoundedRect(QRectF(x, 0, w, kDotHeight), kDotHeight / 2, kDotHeight / 2);
        x += w + kSpacing;
    }
}

}  // namespace vorela
