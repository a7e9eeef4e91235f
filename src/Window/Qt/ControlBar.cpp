#include "Window/Qt/ControlBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QToolButton>

#include "Platform/Foundation/Format.h"
#include "Ui/StatusDot.h"
#include "Ui/ViewKit.h"
#include "Window/Qt/PanelGauges.h"

namespace vorela {

namespace {

QFont systemFont(double points, QFont::Weight weight) {
    QFont font;
    font.setPointSizeF(points);
    font.setWeight(weight);
    return font;
}

// Digits of equal width, so the time and the rate do not jitter as they count. The
// desktop's sans fonts draw figures of one width by default; Qt 6.4 cannot ask for it.
QFont monospacedDigits(double points, QFont::Weight weight) { return systemFont(points, weight); }

QString rgba(const QColor& c) {
    return ViewKit::qText(format("rgba(%d,%d,%d,%d)", c.red(), c.green(), c.blue(), c.alpha()));
}

}  // namespace

ControlBar::ControlBar(std::function<void()> onPlayPause, QWidget* parent) : QWidget(parent) {
    setObjectName("controlBar");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 8, 12, 8);
    row->setSpacing(10);
    const QString text = "color: " + rgba(QColor::fromRgbF(1, 1, 1, 0.8f)) + ";";

    playPause_ = new QToolButton(this);
    playPause_->setObjectName("playPauseButton");
    playPause_->setFixedSize(22, 22);
    playPause_->setIconSize(QSize(12, 12));
    playPause_->setFocusPolicy(Qt::NoFocus);
    playPause_->setStyleSheet("QToolButton { border: none; border-radius: 11px; background: " +
                              rgba(QColor::fromRgbF(1, 1, 1, 0.14f)) + "; }");
    connect(playPause_, &QToolButton::clicked, this, [onPlayPause] { onPlayPause(); });
    row->addWidget(playPause_);

    wpm_ = new QLabel(this);
    wpm_->setObjectName("wpmLabel");
    wpm_->setFont(monospacedDigits(11, QFont::Medium));
    wpm_->setStyleSheet(text);
    row->addWidget(wpm_);

    meter_ = new PanelLevelMeter(this);
    row->addWidget(meter_);
    voiceGroup_ = new QWidget(this);
    auto* group = new QHBoxLayout(voiceGroup_);
    group->setContentsMargins(0, 0, 0, 0);
    group->setSpacing(5);
    dot_ = new StatusDot(6, voiceGroup_);
    dot_->setObjectName("statusDot");
    status_ = new QLabel(voiceGroup_);
    status_->setObjectName("statusLabel");
    status_->setFont(systemFont(10.5, QFont::Normal));
    status_->setStyleSheet("color: " + rgba(QColor::fromRgbF(1, 1, 1, 0.65f)) + ";");
    group->addWidget(dot_);
    group->addWidget(status_);
    row->addWidget(voiceGroup_);

    badge_ = new QLabel(this);
    badge_->setObjectName("passThroughBadge");
    badge_->setPixmap(
        ViewKit::symbolPixmap("hand.raised.slash", QColor::fromRgbF(1, 1, 1, 0.5f), 12));
    badge_->setToolTip("Los clicks pasan a través del panel. Mantené Alt para moverlo.");
    row->addWidget(badge_);

    row->addStretch(1);
    time_ = new QLabel(this);
    time_->setObjectName("remainingTimeLabel");
    time_->setFont(monospacedDigits(11, QFont::Medium));
    time_->setStyleSheet(text);
    row->addWidget(time_);
    refresh(Model{});
}

void ControlBar::refresh(const Model& model) {
    if (model.isPlaying != showsPause_ || playPause_->icon().isNull()) {
        showsPause_ = model.isPlaying;
        playPause_->setIcon(ViewKit::symbolIcon(showsPause_ ? "pause.fill" : "play.fill"));
        playPause_->setToolTip(showsPause_ ? "Pausar" : "Reproducir");
    }
    wpm_->setText(ViewKit::qText(format("%lld ppm", static_cast<long long>(model.wordsPerMinute))));
    meter_->setVisible(model.usesMicrophone);
    voiceGroup_->setVisible(model.usesMicrophone);
    meter_->setLevel(model.micLevel, model.meterFill);
    meter_->setMarker(model.meterMarker);
    const QString status = ViewKit::qText(model.statusText);
    dot_->setColor(ViewKit::qColor(model.dotColor));
    // Refreshed with every word: a tooltip set again is an event for nothing.
    if (dot_->toolTip() != status) dot_->setToolTip(status);
    status_->setText(status);
    badge_->setVisible(model.isPassThroughActive);
    time_->setText(ViewKit::qText(model.remainingTime));
}

void ControlBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QLinearGradient shade(0, 0, 0, height());
    shade.setColorAt(0, QColor::fromRgbF(0, 0, 0, 0));
    shade.setColorAt(1, QColor::fromRgbF(0, 0, 0, 0.75f));
    p.fillRect(rect(), shade);
}

}  // namespace vorela
