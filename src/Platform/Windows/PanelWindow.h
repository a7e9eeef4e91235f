#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "Platform/Foundation/Geometry.h"
#include "Platform/Observation/Subscription.h"

namespace vorela {

// How a panel may be moved and resized by the user.
struct PanelWindowBehavior {
    bool isResizable = false;
    bool isMovableByBackground = false;
    // Only while resizable.
    Size minSize;
    Size maxSize;
    bool operator==(const PanelWindowBehavior&) const = default;
};

// The prompter's floating panel as the window system sees it: borderless, transparent,
// without shadow, above ordinary windows, on every desktop, out of the task bar and the
// pager, and never taking the keyboard focus (not when shown, not when clicked). Frames
// are desktop points (origin at the primary screen's bottom-left, y up).
//
// Main thread only. Frame observers run after every change of the frame, whether the user
// dragged the panel or setFrame placed it; close observers run when the window system
// closed the panel (the user asked the window manager to), which leaves it ordered out.
// Both stop when their subscription goes.
class PanelWindow {
public:
    PanelWindow() = default;
    virtual ~PanelWindow() = default;
    PanelWindow(const PanelWindow&) = delete;
    PanelWindow& operator=(const PanelWindow&) = delete;
    PanelWindow(PanelWindow&&) = delete;
    PanelWindow& operator=(PanelWindow&&) = delete;

    virtual Rect frame() const = 0;
    // Where the window system has the panel now, asked of the display server itself: a
    // toolkit may report a stale position for a while after the panel is mapped.
    virtual Rect frameOnScreen() const { return frame(); }
    // Moves and resizes the panel and redraws its content.
    virtual void setFrame(const Rect& frame) = 0;
    virtual void setBehavior(const PanelWindowBehavior& behavior) = 0;
    virtual PanelWindowBehavior behavior() const = 0;

    // Shows the panel above other windows without activating the application.
    virtual void orderFront() = 0;
    virtual void orderOut() = 0;
    virtual bool isShown() const = 0;

    // Clicks pass through to the window below while set. Turning it on while the pointer
    // is over the panel gives the content a pointer exit, since none would come later.
    virtual void setIgnoresMouseEvents(bool ignores) = 0;
    virtual bool ignoresMouseEvents() const = 0;

    // Whether screen captures leave the panel out. X11 has no such property: false there.
    virtual bool isExcludedFromCapture() const = 0;

    [[nodiscard]] virtual Subscription observeFrameChanges(std::function<void()> onChange) = 0;
    [[nodiscard]] virtual Subscription observeClose(std::function<void()> onClose) = 0;
};

// Makes the one panel of the application, with its content, at the given frame, hidden.
class PanelWindowFactory {
public:
    virtual ~PanelWindowFactory() = default;
    virtual std::unique_ptr<PanelWindow> makePanel(const Rect& frame) = 0;
};

}  // namespace vorela
