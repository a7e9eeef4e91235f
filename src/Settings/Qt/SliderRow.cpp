#include "Settings/Qt/SliderRow.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>
#include <cmath>

#include "Settings/SettingsTexts.h"
#include "Ui/Style.h"
#include "Ui/ViewKit.h"

namespace vorela {
namespace {

// Positions along the track: fine enough that a drag looks continuous at any width.
constexpr int kSteps = 1000;

}  // namespace

SliderRow::SliderRow(const char* objectName, double minimum, double maximum, const char* format,
                     std::string unit, int valueWidthPoints, QWidget* parent)
    : QWidget(parent), format_(format), unit_(std::move(unit)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    slider_ = new QSlider(Qt::Horizontal);
    slider_->setObjectName(objectName);
    slider_->setRange(0, kSteps);
    valueLabel_ = new QLabel;
    valueLabel_->setObjectName(QString(objectName) + "Value");
    valueLabel_->setFixedWidth(valueWidthPoints);
    valueLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Equal-width digits keep the text from jittering during a drag.
    QFont digits = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    valueLabel_->setFont(digits);
    QPalette palette = valueLabel_->palette();
    palette.setColor(QPalette::WindowText, Style::secondaryText(palette));
    valueLabel_->setPalette(palette);
    row->addWidget(slider_, 1);
    row->addWidget(valueLabel_);
    setRange(minimum, maximum);
    connect(slider_, &QSlider::valueChanged, this, [this](int position) {
        const double value = valueAt(position);
        showText(value);
        if (onMoved_) onMoved_(value);
    });
}

void SliderRow::setRange(double minimum, double maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
}

void SliderRow::setValue(double value) {
    const QSignalBlocker blocker(slider_);
    slider_->setValue(positionOf(value));
    showText(value);
}

double SliderRow::valueAt(int position) const {
    return minimum_ + (maximum_ - minimum_) * position / kSteps;
}

int SliderRow::positionOf(double value) const {
    if (maximum_ <= minimum_ || std::isnan(value)) return 0;
    const double fraction = std::clamp((value - minimum_) / (maximum_ - minimum_), 0.0, 1.0);
    return static_cast<int>(std::lround(fraction * kSteps));
}

void SliderRow::showText(double value) {
    valueLabel_->setText(ViewKit::qText(
        textOf_ ? textOf_(value) : SettingsTexts::sliderValue(value, format_, unit_)));
}

}  // namespace vorela
