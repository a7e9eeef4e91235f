#pragma once

#include <QPoint>
#include <QWidget>

#include "Platform/Observation/ObserverList.h"
#include "Platform/Windows/PanelWindow.h"

namespace vorela {

// The panel as a Qt tool window: frameless, translucent, stays on top, never accepts the
// focus, shown without activating. On X11 it also asks the window manager, before every
// map, to keep it on every desktop and out of the task bar and the pager: a manager drops
// those states when the window is withdrawn. A close by the window manager orders the
// panel out instead of closing it.
// Click-through is the window's empty input shape (Qt::WindowTransparentForInput). A
// floating panel moves when dragged by any part of its content and resizes from its
// edges, through the window manager. GUI thread only.
class QtPanelWindow final : public QWidget, public PanelWindow {
    Q_OBJECT

public:
    explicit QtPanelWindow(const Rect& frame);
    ~QtPanelWindow() override;

    // The panel's content, resized with it; the window takes ownership.
    void setContent(QWidget* content);
    // The glass background: asks the compositor to blur what lies behind the panel, where
    // it offers that (looked at again before every map, as a compositor may have started).
    void setBlursBackground(bool blurs);
    bool blursBackground() const { return blursBackground_; }

    Rect frame() const override;
    Rect frameOnScreen() const override;
    void setFrame(const Rect& frame) override;
    void setBehavior(const PanelWindowBehavior& behavior) override;
    PanelWindowBehavior behavior() const override { return behavior_; }
    void orderFront() override;
    void orderOut() override;
    bool isShown() const override { return isVisible(); }
    void setIgnoresMouseEvents(bool ignores) override;
    bool ignoresMouseEvents() const override { return ignoresMouse_; }
    bool isExcludedFromCapture() const override { return false; }
    [[nodiscard]] Subscription observeFrameChanges(std::function<void()> onChange) override;
    [[nodiscard]] Subscription observeClose(std::function<void()> onClose) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void applyX11State();
    void frameMayHaveChanged();
    QRect toQt(const Rect& frame) const;

    PanelWindowBehavior behavior_;
    bool ignoresMouse_ = false;
    bool blursBackground_ = false;
    QWidget* content_ = nullptr;
    // The frame last asked for: the window manager may report 0,0 right after mapping.
    QRect requested_;
    Rect lastReported_;
    QPoint pressPosition_;
    bool pressed_ = false;
    ObserverList<> frameObservers_;
    ObserverList<> closeObservers_;
};

}  // namespace vorela
