#pragma once

#include <QRegion>
#include <QWidget>
#include <memory>
#include <vector>

#include "Platform/Foundation/LifetimeGuard.h"
#include "Platform/Loop/TimerHandle.h"
#include "Prefs/KeyWatcher.h"
#include "Render/Tween.h"

namespace vorela {

class AppState;
class CachedOpacityEffect;
class ControlBar;
class PrompterTextWidget;
class PrompterViewBridge;
class ProgressStrip;
class RunLoop;
class SilhouetteMask;

// The panel's content, back to front: the black background at the theme's opacity, the
// prompter text (below the notch in the notch placement) or, while the screen-share check
// runs, a solid magenta test fill; the control bar, faded in over 0.15 s while the pointer
// rests on the text; the progress strip. All of it is clipped to the panel's silhouette.
// Reads the central state and writes to it only through play and pause. Animations run on
// the run loop's clock. Main thread only; state and loop must outlive the widget.
class PrompterContentWidget final : public QWidget {
    Q_OBJECT

public:
    static constexpr double kHoverFadeSeconds = 0.15;
    static constexpr double kMeterSeconds = 0.05;

    PrompterContentWidget(AppState& state, RunLoop& loop, QWidget* parent = nullptr);
    ~PrompterContentWidget() override;

    PrompterTextWidget& textWidget();
    ControlBar& controlBar() { return *bar_; }
    // The bar's opacity at this moment of the run loop's clock; 0 while it is hidden.
    double controlBarOpacity() const;

    // Reads the state again and redraws what changed.
    void refresh();

Q_SIGNALS:
    // The silhouette changed (size or placement), as a region in this widget's coordinates.
    // A window without a compositor cuts itself to it, so the desktop shows in the corners.
    void outlineChanged(const QRegion& outline);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The silhouette, the text's visibility and the children's places.
    void refreshShape();
    // The progress strip and the control bar.
    void refreshGauges();
    void refreshBar();
    void layoutChildren();
    void startAnimating();
    void updateOutline();
    void animationFrame();

    AppState& state_;
    RunLoop& loop_;
    std::unique_ptr<PrompterViewBridge> bridge_;
    ControlBar* bar_ = nullptr;
    ProgressStrip* progress_ = nullptr;
    SilhouetteMask* silhouette_ = nullptr;
    CachedOpacityEffect* barOpacity_ = nullptr;
    Tween hoverFade_ = Tween::at(0);
    Tween meter_ = Tween::at(0);
    QRegion outline_;
    bool glass_ = false;  // followed, not read in every paint
    // Their callbacks reach everything above.
    std::vector<Subscription> observations_;
    Prefs::KeyWatcher glassKeys_;
    TimerHandle animationTimer_;
    LifetimeGuard guard_;  // last
};

}  // namespace vorela
