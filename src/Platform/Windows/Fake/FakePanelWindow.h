#pragma once

#include <memory>
#include <vector>

#include "Platform/Observation/ObserverList.h"
#include "Platform/Windows/PanelWindow.h"

namespace vorela {

// A panel that only remembers what it was told. The user's drags are test controls.
class FakePanelWindow final : public PanelWindow {
public:
    explicit FakePanelWindow(const Rect& frame) : frame_(frame) {}

    Rect frame() const override { return frame_; }
    void setFrame(const Rect& frame) override {
        if (frame == frame_) return;
        frame_ = frame;
        observers_.notify();
    }
    void setBehavior(const PanelWindowBehavior& behavior) override { behavior_ = behavior; }
    PanelWindowBehavior behavior() const override { return behavior_; }
    void orderFront() override {
        isShown_ = true;
        ++orderFrontCount_;
    }
    void orderOut() override { isShown_ = false; }
    bool isShown() const override { return isShown_; }
    void setIgnoresMouseEvents(bool ignores) override { ignoresMouse_ = ignores; }
    bool ignoresMouseEvents() const override { return ignoresMouse_; }
    bool isExcludedFromCapture() const override { return false; }
    [[nodiscard]] Subscription observeFrameChanges(std::function<void()> onChange) override {
        return observers_.add(std::move(onChange));
    }
    [[nodiscard]] Subscription observeClose(std::function<void()> onClose) override {
        return closeObservers_.add(std::move(onClose));
    }

    // --- test controls ---
    // The user drags or resizes the panel.
    void userMoves(const Rect& frame) { setFrame(frame); }
    // The window manager closes the panel.
    void closeByWindowManager() {
        isShown_ = false;
        closeObservers_.notify();
    }
    int orderFrontCount() const { return orderFrontCount_; }

private:
    Rect frame_;
    PanelWindowBehavior behavior_;
    bool isShown_ = false;
    bool ignoresMouse_ = false;
    int orderFrontCount_ = 0;
    ObserverList<> observers_;
    ObserverList<> closeObservers_;
};

// Makes fake panels and keeps a view of the last one for the test.
class FakePanelWindowFactory final : public PanelWindowFactory {
public:
    std::unique_ptr<PanelWindow> makePanel(const Rect& frame) override {
        auto panel = std::make_unique<FakePanelWindow>(frame);
        made_.push_back(panel.get());
        return panel;
    }

    // --- test controls ---
    int madeCount() const { return static_cast<int>(made_.size()); }
    // The last panel made; valid while its owner keeps it.
    FakePanelWindow* last() const { return made_.empty() ? nullptr : made_.back(); }

private:
    std::vector<FakePanelWindow*> made_;
};

}  // namespace vorela
