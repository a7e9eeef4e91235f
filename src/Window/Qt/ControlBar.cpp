#include "Window/Qt/ControlBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QToolButton>

#include "Platform/Foundation/Format.h"
#include "Ui/StatusDot.h"
#include "Ui/Style.h"
#include "Ui/ViewKit.h"
#include "Window/Qt/PanelGauges.h"

namespace vorela {

using Style::css;
using Style::TextRole;
namespace Spacing = Style::Spacing;

ControlBar::ControlBar(std::function<void()> onPlayPause, QWidget* parent) : QWidget(parent) {
    setObjectName("controlBar");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(Spacing::regular, Spacing::compact, Spacing::regular, Spacing::compact);
    row->setSpacing(Spacing::medium);
    const QString text = "color: " + css(Style::onDark(0.8)) + ";";

    playPause_ = new QToolButton(this);
    playPause_->setObjectName("playPauseButton");
    playPause_->setFixedSize(22, 22);
    playPause_->setIconSize(QSize(12, 12));
    playPause_->setFocusPolicy(Qt::NoFocus);
    playPause_->setStyleSheet("QToolButton { border: none; border-radius: 11px; background: " +
                              css(Style::onDark(0.14)) + "; }");
    connect(playPause_, &QToolButton::clicked, this, [onPlayPause] { onPlayPause(); });
    row->addWidget(playPause_);

    wpm_ = new QLabel(this);
    wpm_->setObjectName("wpmLabel");
    wpm_->setFont(Style::monospacedDigits(TextRole::subheadline, QFont::Medium));
    wpm_->setStyleSheet(text);
    row->addWidget(wpm_);

    meter_ = new PanelLevelMeter(this);
    row->addWidget(meter_);
    voiceGroup_ = new QWidget(this);
    auto* group = new QHBoxLayout(voiceGroup_);
    group->setContentsMargins(0, 0, 0, 0);
    group->setSpacing(Spacing::xSmall);
    dot_ = new StatusDot(6, voiceGroup_);
    dot_->setObjectName("statusDot");
    status_ = new QLabel(voiceGroup_);
    status_->setObjectName("statusLabel");
    status_->setFont(Style::font(TextRole::footnote));
    status_->setStyleSheet("color: " + css(Style::onDark(0.65)) + ";");
    group->addWidget(dot_);
    group->addWidget(status_);
    row->addWidget(voiceGroup_);

    badge_ = new QLabel(this);
    badge_->setObjectName("passThroughBadge");
    badge_->setPixmap(ViewKit::symbolPixmap("hand.raised.slash", Style::onDark(0.5), 12));
    badge_->setToolTip("Los clicks pasan a través del panel. Mantené Alt para moverlo.");
    row->addWidget(badge_);

    row->addStretch(1);
    time_ = new QLabel(this);
    time_->setObjectName("remainingTimeLabel");
    time_->setFont(Style::monospacedDigits(TextRole::subheadline, QFont::Medium));
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
    shade.setColorAt(0, Style::shade(0));
    shade.setColorAt(1, Style::shade(0.75));
    p.fillRect(rect(), shade);
}

}  // namespace vorela
