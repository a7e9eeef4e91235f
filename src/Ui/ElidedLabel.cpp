#include "Ui/ElidedLabel.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace vorela {

namespace {
// Room for a short word and the ellipsis, in points.
constexpr int kMinimumWidth = 60;
}  // namespace

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {}

void ElidedLabel::setFullText(const QString& text) {
    if (text == this->text()) return;  // a tooltip set again is an event for nothing
    setText(text);
    setToolTip(text);
}

QString ElidedLabel::displayedText() const {
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

QSize ElidedLabel::minimumSizeHint() const {
    return {std::min(kMinimumWidth, sizeHint().width()), QLabel::minimumSizeHint().height()};
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(contentsRect(), int(alignment()) | Qt::TextSingleLine, displayedText());
}

}  // namespace vorela
