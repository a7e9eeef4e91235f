#include "App/Qt/MainControlBar.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
#include <cmath>

#include "App/AppState.h"
#include "App/GlobalShortcuts.h"
#include "App/MainWindowModel.h"
#include "App/PanelControlling.h"
#include "Script/ReadingRate.h"
#include "Ui/ElidedLabel.h"
#include "Ui/LevelMeter.h"
#include "Ui/LiveToolTip.h"
#include "Ui/StatusDot.h"
#include "Ui/Style.h"
#include "Ui/ViewKit.h"

namespace vorela {

namespace {

constexpr PrompterMode kModes[] = {PrompterMode::manual, PrompterMode::classic,
                                   PrompterMode::voiceActivated, PrompterMode::wordTracking};
namespace Spacing = Style::Spacing;

QFrame* verticalDivider(QWidget* parent) {
    auto* divider = new QFrame(parent);
    divider->setFrameShape(QFrame::VLine);
    divider->setFixedHeight(26);
    return divider;
}

QHBoxLayout* row(QWidget* owner, int spacing) {
    auto* layout = new QHBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

QColor shadeColor(MainWindowModel::DotShade shade, const QPalette& palette) {
    using Shade = MainWindowModel::DotShade;
    switch (shade) {
        case Shade::clear:
            return Qt::transparent;
        case Shade::accent:
            return Style::accent();
        case Shade::secondary:
            return palette.color(QPalette::PlaceholderText);
        case Shade::green:
            return Style::green();
        case Shade::red:
            return Style::red();
    }
    return Qt::transparent;
}

}  // namespace

MainControlBar::MainControlBar(AppState& appState, PanelControlling& panel, QWidget* parent)
    : QWidget(parent), appState_(appState), panel_(panel) {
    setObjectName("controlBar");
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    auto* layout = row(this, Spacing::large);
    layout->setContentsMargins(Spacing::large, Spacing::medium, Spacing::large, Spacing::medium);
    layout->addWidget(makeTransport());
    layout->addWidget(verticalDivider(this));
    modePicker_ = new QComboBox(this);
    modePicker_->setObjectName("modePicker");
    modePicker_->setFixedWidth(190);
    modePicker_->setToolTip("De dónde sale la posición del texto");
    for (PrompterMode mode : kModes) modePicker_->addItem(ViewKit::qText(localizedName(mode)));
    connect(modePicker_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && index < int(std::size(kModes))) appState_.setMode(kModes[index]);
        refresh();  // a refused change shows the mode in effect again
    });
    layout->addWidget(modePicker_);
    layout->addWidget(verticalDivider(this));
    layout->addWidget(makeSpeedControl());
    layout->addWidget(makeStatus(), 1);

    auto onAny = [this](const auto&...) { refresh(); };
    observations_.push_back(appState_.playback.observe(onAny));
    observations_.push_back(appState_.mode.observe(onAny));
    observations_.push_back(appState_.wpm.observe(onAny));
    observations_.push_back(appState_.isSpeaking.observe(onAny));
    observations_.push_back(appState_.voiceProfile.observe(onAny));
    observations_.push_back(appState_.currentTokenIndex.observe(onAny));
    observations_.push_back(appState_.tokens.observe(onAny));
    observations_.push_back(appState_.observeVoiceStatus(onAny));
    observations_.push_back(appState_.micLevel.observe([this](double) { refreshMeter(); }));
    refresh();
}

MainControlBar::~MainControlBar() = default;

QWidget* MainControlBar::makeTransport() {
    auto* transport = new QWidget(this);
    transport->setObjectName("transportControls");
    auto* layout = row(transport, Spacing::compact);
    playPause_ = new QToolButton(transport);
    playPause_->setObjectName("playPauseButton");
    playPause_->setFixedSize(26, 22);
    playPause_->setStyleSheet("QToolButton { background: " + Style::css(Style::accent()) +
                              "; border: none; border-radius: 5px; }");
    connect(playPause_, &QToolButton::clicked, this, [this] { playPause(); });
    setLiveToolTip(playPause_, [this] {
        return ViewKit::qText(MainWindowModel::playPauseHelp(appState_.playback.get()));
    });
    auto* restart = new QToolButton(transport);
    restart->setObjectName("restartButton");
    restart->setFixedSize(26, 22);
    restart->setIcon(
        ViewKit::symbolIcon("backward.end.fill", palette().color(QPalette::ButtonText)));
    setLiveToolTip(restart, [] {
        return ViewKit::qText(
            MainWindowModel::withKeyHint("Reiniciar al principio", GlobalShortcuts::restart()));
    });
    connect(restart, &QToolButton::clicked, this, [this] { appState_.restart(); });
    layout->addWidget(playPause_);
    layout->addWidget(restart);
    return transport;
}

QWidget* MainControlBar::makeSpeedControl() {
    auto* speed = new QWidget(this);
    speed->setObjectName("speedControl");
    speed->setToolTip("Ritmo de lectura en palabras por minuto");
    auto* layout = row(speed, Spacing::compact);
    auto* icon = new QLabel(speed);
    icon->setPixmap(
        ViewKit::symbolPixmap("speedometer", palette().color(QPalette::PlaceholderText), 16));
    speed_ = new QSlider(Qt::Horizontal, speed);
    speed_->setObjectName("speedSlider");
    speed_->setFixedWidth(130);
    speed_->setRange(static_cast<int>(ReadingRate::kMinWpm) * kSliderStepsPerWpm,
                     static_cast<int>(ReadingRate::kMaxWpm) * kSliderStepsPerWpm);
    connect(speed_, &QSlider::valueChanged, this, [this](int value) {
        appState_.setWpm(static_cast<double>(value) / kSliderStepsPerWpm);
    });
    speedLabel_ = new QLabel(speed);
    speedLabel_->setObjectName("speedLabel");
    speedLabel_->setFixedWidth(64);
    speedLabel_->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(icon);
    layout->addWidget(speed_);
    layout->addWidget(speedLabel_);
    return speed;
}

QWidget* MainControlBar::makeStatus() {
    auto* status = new QWidget(this);
    status->setObjectName("statusIndicators");
    auto* layout = row(status, Spacing::roomy);
    micRow_ = new QWidget(status);
    micRow_->setObjectName("micRow");
    micRow_->setToolTip("Nivel del micrófono y umbral de voz");
    auto* mic = row(micRow_, Spacing::small);
    micIcon_ = new QLabel(micRow_);
    micIcon_->setObjectName("micIcon");
    meter_ = new LevelMeter(micRow_);
    meter_->setFixedSize(70, 6);
    mic->addWidget(micIcon_);
    mic->addWidget(meter_);
    voiceRow_ = new QWidget(status);
    voiceRow_->setObjectName("voiceStatusRow");
    voiceRow_->setToolTip("Qué está haciendo el seguimiento por voz");
    auto* voice = row(voiceRow_, Spacing::small);
    dot_ = new StatusDot(7, voiceRow_);
    dot_->setObjectName("statusDot");
    // A problem's text can be long (the audio library's own words): it takes the bar's
    // free room and is cut there, whole in its tooltip, instead of running off the edge.
    voiceStatus_ = new ElidedLabel(voiceRow_);
    voiceStatus_->setObjectName("voiceStatusLabel");
    voiceStatus_->setForegroundRole(QPalette::PlaceholderText);
    voice->addWidget(dot_);
    voice->addWidget(voiceStatus_, 1);
    wordPosition_ = new QLabel(status);
    wordPosition_->setObjectName("wordPositionLabel");
    wordPosition_->setToolTip("Palabra actual del guion cargado");
    wordPosition_->setForegroundRole(QPalette::PlaceholderText);
    layout->addStretch(1);  // right-aligned while there is room
    layout->addWidget(micRow_);
    layout->addWidget(voiceRow_);
    layout->addWidget(wordPosition_);
    return status;
}

void MainControlBar::refresh() {
    // Each control is set only when what it shows changed: the bar refreshes on every
    // word, and a re-set icon or tooltip costs a render or an event for nothing.
    const PlaybackState playback = appState_.playback.get();
    const std::string_view symbol = MainWindowModel::playPauseSymbol(playback);
    if (symbol != shownPlaySymbol_) {
        shownPlaySymbol_ = symbol;
        playPause_->setIcon(ViewKit::symbolIcon(symbol));
    }
    const QString help = ViewKit::qText(MainWindowModel::playPauseHelp(playback));
    if (playPause_->toolTip() != help) playPause_->setToolTip(help);
    {
        const QSignalBlocker blocker(modePicker_);
        const auto* found = std::find(std::begin(kModes), std::end(kModes), appState_.mode.get());
        modePicker_->setCurrentIndex(int(found - std::begin(kModes)));
    }
    {
        // A QSlider clamps silently: blocked, it shows the value and never writes it back.
        const QSignalBlocker blocker(speed_);
        speed_->setValue(int(std::lround(appState_.wpm.get() * kSliderStepsPerWpm)));
    }
    speedLabel_->setText(ViewKit::qText(MainWindowModel::rateText(appState_.wpm.get())));

    const bool voice = appState_.usesMicrophone();
    micRow_->setVisible(voice);
    voiceRow_->setVisible(voice);
    const bool speaking = appState_.isSpeaking.get();
    const QPixmap mic = ViewKit::symbolPixmap(
        speaking ? "mic.fill" : "mic",
        speaking ? Style::green() : palette().color(QPalette::PlaceholderText), 14);
    if (mic.cacheKey() != micIcon_->pixmap().cacheKey()) micIcon_->setPixmap(mic);
    refreshMeter();
    const VoiceStatus status = appState_.voiceStatus();
    dot_->setColor(shadeColor(MainWindowModel::matchColor(status), palette()));
    voiceStatus_->setFullText(ViewKit::qText(status.localizedName()));
    wordPosition_->setText(ViewKit::qText(MainWindowModel::wordPositionText(
        appState_.currentTokenIndex.get(), appState_.tokens.get().size())));
}

void MainControlBar::refreshMeter() {
    meter_->setInputs(appState_.micLevel.get(), appState_.voiceProfile.get().speechThresholdLevel(),
                      appState_.isSpeaking.get());
}

void MainControlBar::playPause() { MainWindowModel::playPause(appState_, panel_); }

}  // namespace vorela
