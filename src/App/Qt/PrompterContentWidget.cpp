#include "App/Qt/PrompterContentWidget.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

#include "App/AppState.h"
#include "App/Qt/PrompterViewBridge.h"
#include "Platform/Loop/RunLoop.h"
#include "Prefs/KeyWatcher.h"
#include "Prefs/Prefs.h"
#include "Render/PanelSilhouette.h"
#include "Render/Qt/PrompterTextWidget.h"
#include "Ui/ViewKit.h"
#include "Window/PanelPlacement.h"
#include "Window/PrompterContentView.h"
#include "Window/Qt/CachedOpacityEffect.h"
#include "Window/Qt/ControlBar.h"
#include "Window/Qt/PanelGauges.h"
#include "Window/Qt/SilhouetteMask.h"

namespace vorela {

namespace {
// 60 steps a second are enough for a fade a few frames long.
constexpr double kAnimationStepSeconds = 1.0 / 60;
// Height of the bar: 22 pt button, 8 pt padding above and below.
constexpr int kBarHeight = 38;
}  // namespace

PrompterContentWidget::PrompterContentWidget(AppState& state, RunLoop& loop, QWidget* parent)
    : QWidget(parent),
      state_(state),
      loop_(loop),
      glass_(Prefs::get(Prefs::Keys::glassBackground())),
      glassKeys_(loop) {
    setObjectName("prompterContent");
    setAttribute(Qt::WA_TranslucentBackground);
    bridge_ = std::make_unique<PrompterViewBridge>(state, loop.clock(), *this);
    bar_ = new ControlBar([this] { state_.togglePlayback(); }, this);
    barOpacity_ = new CachedOpacityEffect(bar_);
    progress_ = new ProgressStrip(this);
    silhouette_ = new SilhouetteMask(this);

    // Each change redraws only what shows it: a new word moves the gauges, not the
    // background or the children's places.
    const auto gauges = guard_.bind([this](const auto&) { refreshGauges(); });
    const auto shape = guard_.bind([this](const auto&) { refreshShape(); });
    observations_.push_back(state.theme.observe(guard_.bind([this](const auto&) { update(); })));
    observations_.push_back(state.showsStealthTestPattern.observe(guard_.bind([this](const auto&) {
        refreshShape();
        update();
    })));
    observations_.push_back(state.panelMode.observe(shape));
    observations_.push_back(state.notchHeight.observe(shape));
    observations_.push_back(state.isPassThroughActive.observe(gauges));
    observations_.push_back(state.playback.observe(gauges));
    observations_.push_back(state.wpm.observe(gauges));
    observations_.push_back(state.mode.observe(gauges));
    observations_.push_back(state.isSpeaking.observe(gauges));
    observations_.push_back(state.voiceProfile.observe(gauges));
    observations_.push_back(state.currentTokenIndex.observe(gauges));
    observations_.push_back(state.tokens.observe(gauges));
    observations_.push_back(state.observeVoiceStatus(gauges));
    observations_.push_back(state.micLevel.observe(guard_.bind([this](double level) {
        meter_ = meter_.retargeted(level, loop_.uptime(), kMeterSeconds, Tween::Curve::linear);
        startAnimating();
    })));
    observations_.push_back(state.isHovering.observe(guard_.bind([this](bool hovering) {
        hoverFade_ = hoverFade_.retargeted(hovering ? 1 : 0, loop_.uptime(), kHoverFadeSeconds,
                                           Tween::Curve::easeOut);
        startAnimating();
    })));
    glassKeys_.watch(Prefs::Keys::glassBackground(), guard_.bind([this] {
        glass_ = Prefs::get(Prefs::Keys::glassBackground());
        update();
    }));
    meter_ = Tween::at(state.micLevel.get());
    hoverFade_ = Tween::at(state.isHovering.get() ? 1 : 0);
    refresh();
    animationFrame();
}

PrompterContentWidget::~PrompterContentWidget() = default;

PrompterTextWidget& PrompterContentWidget::textWidget() { return bridge_->widget(); }

double PrompterContentWidget::controlBarOpacity() const {
    return bar_->isHidden() ? 0 : hoverFade_.value(loop_.uptime());
}

void PrompterContentWidget::refresh() {
    refreshShape();
    refreshGauges();
    update();
}

void PrompterContentWidget::refreshShape() {
    silhouette_->setNotch(state_.panelMode.get() == PanelMode::notch);
    textWidget().setVisible(!state_.showsStealthTestPattern.get());
    layoutChildren();
}

void PrompterContentWidget::refreshGauges() {
    progress_->setProgress(state_.progress());
    refreshBar();
}

void PrompterContentWidget::refreshBar() {
    ControlBar::Model model;
    model.isPlaying = state_.playback.get() == PlaybackState::playing;
    model.wordsPerMinute = static_cast<long>(state_.wpm.get());
    model.usesMicrophone = state_.usesMicrophone();
    model.micLevel = meter_.value(loop_.uptime());
    model.meterFill = PrompterContentView::meterFillColor(state_.isSpeaking.get());
    model.meterMarker = PrompterContentView::meterMarkerFraction(state_.voiceProfile.get());
    const VoiceStatus status = state_.voiceStatus();
    model.dotColor = PrompterContentView::matchStateColor(status);
    model.statusText = status.localizedName();
    model.isPassThroughActive = state_.isPassThroughActive.get();
    model.remainingTime = PrompterContentView::timeString(state_.remainingSeconds());
    bar_->refresh(model);
}

void PrompterContentWidget::layoutChildren() {
    const int w = width(), h = height();
    const int inset = static_cast<int>(
        PrompterContentView::topInset(state_.panelMode.get(), state_.notchHeight.get()));
    textWidget().setGeometry(0, inset, w, std::max(h - inset, 0));
    bar_->setGeometry(0, h - kBarHeight, w, kBarHeight);
    progress_->setGeometry(0, h - 3, w, 3);
    silhouette_->setGeometry(0, 0, w, h);
    bar_->raise();
    progress_->raise();
    silhouette_->raise();
    updateOutline();
}

void PrompterContentWidget::updateOutline() {
    const QPainterPath path = ViewKit::qPath(
        PanelSilhouette{silhouette_->isNotch()}.path({0, 0, double(width()), double(height())}));
    QRegion outline(path.toFillPolygon().toPolygon());
    if (outline == outline_) return;
    outline_ = outline;
    Q_EMIT outlineChanged(outline_);
}

void PrompterContentWidget::startAnimating() {
    if (animationTimer_.isActive()) return;
    animationTimer_ =
        loop_.scheduleRepeating(kAnimationStepSeconds, guard_.bind([this] { animationFrame(); }));
    animationFrame();
}

void PrompterContentWidget::animationFrame() {
    const double now = loop_.uptime();
    const double opacity = hoverFade_.value(now);
    bar_->setVisible(opacity > 0);
    barOpacity_->setOpacity(opacity);
    bar_->meter().setLevel(meter_.value(now),
                           PrompterContentView::meterFillColor(state_.isSpeaking.get()));
    if (hoverFade_.isDone(now) && meter_.isDone(now)) animationTimer_.cancel();
}

void PrompterContentWidget::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRectF area = event->rect();
    if (state_.showsStealthTestPattern.get()) {
        ViewKit::fillInBands(p, area, ViewKit::qColor(PrompterContentView::stealthPatternColor()));
        return;
    }
    const double opacity = state_.theme.get().backgroundOpacity;
    // Without a blur behind the window on X11 the glass look is the black at half opacity.
    const bool glass = glass_;
    ViewKit::fillInBands(
        p, area,
        QColor::fromRgbF(
            0, 0, 0, static_cast<float>(std::clamp(glass ? opacity * 0.5 : opacity, 0.0, 1.0))));
}

void PrompterContentWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutChildren();
}

}  // namespace vorela
