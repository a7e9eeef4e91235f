#include "App/PanelController.h"

#include "App/AppState.h"
#include "Platform/Input/Input.h"
#include "Platform/Loop/RunLoop.h"
#include "Prefs/Prefs.h"
#include "Window/PanelPlacement.h"

namespace vorela {

namespace Keys = Prefs::Keys;

PanelController::PanelController(Services services)
    : mode(Prefs::get(Keys::panelMode())), services_(services) {
    refreshScreens();
    showPanelRequest_ = services_.appState.setOnRequestShowPanel(guard_.bind([this] { show(); }));
    screenObservation_ = services_.screens.observeChanges(guard_.bind([this] {
        refreshScreens();
        reposition();
    }));
}

PanelController::~PanelController() = default;

void PanelController::show() {
    ensurePanel();
    reposition();
    panel_->orderFront();
    isVisible.set(true);
}

void PanelController::hide() {
    if (panel_) panel_->orderOut();
    isVisible.set(false);
}

void PanelController::toggle() {
    if (isVisible.get()) {
        hide();
    } else {
        show();
    }
}

void PanelController::setMode(PanelMode newMode) {
    Prefs::set(Keys::panelMode(), newMode);
    mode.set(newMode);
    didFallBackToFloating.set(false);
    reposition();
}

void PanelController::moveToScreen(const std::string& screenId) {
    Prefs::set(Keys::preferredScreen(), screenId);
    reposition();
    if (isVisible.get() && panel_) panel_->orderFront();
}

double PanelController::width() const { return Prefs::get(Keys::panelWidth()); }
double PanelController::height() const { return Prefs::get(Keys::panelHeight()); }

void PanelController::setWidth(double width) {
    Prefs::set(Keys::panelWidth(), clampWidth(mode.get(), width));
    resizeSavedFrame();
    reposition();
}

void PanelController::setHeight(double height) {
    Prefs::set(Keys::panelHeight(), clampHeight(mode.get(), height));
    resizeSavedFrame();
    reposition();
}

void PanelController::resizeSavedFrame() {
    // A dragged floating panel places by its saved frame, size included, so a size set by
    // hand would never show: it resizes that frame, whose top-left corner stays put.
    if (mode.get() != PanelMode::floating && !didFallBackToFloating.get()) return;
    const auto screen = currentScreen();
    if (!screen) return;
    const std::string id = PanelPlacement::screenIdentifier(*screen);
    const double width = clampWidth(mode.get(), Prefs::get(Keys::panelWidth()));
    const NotchMetrics metrics(*screen);
    Prefs::update(Keys::panelGeometryByScreen(), [&](PanelGeometryByScreen& saved) {
        const auto entry = saved.find(id);
        if (entry == saved.end()) return;
        PanelGeometry& frame = entry->second;
        // The stored height leaves out the notch strip the frame covers; the frame keeps it.
        const double height = clampHeight(mode.get(), Prefs::get(Keys::panelHeight())) +
                              PanelPlacement::notchPart(frame.rect(), metrics);
        frame.y += frame.height - height;
        frame.width = width;
        frame.height = height;
    });
}

void PanelController::refreshScreens() {
    availableScreens_.clear();
    for (const Screen& screen : services_.screens.screens())
        availableScreens_.push_back(
            {PanelPlacement::screenIdentifier(screen), screen.localizedName});
    screensChanged_.notify();
}

std::optional<Screen> PanelController::currentScreen() const {
    std::optional<Rect> frame;
    if (panel_) frame = panel_->frame();
    return PanelPlacement::chooseScreen(services_.screens.screens(), services_.screens.mainScreen(),
                                        Prefs::get(Keys::preferredScreen()), mode.get(), frame);
}

void PanelController::ensurePanel() {
    if (panel_) return;
    const Size size{clampWidth(mode.get(), Prefs::get(Keys::panelWidth())),
                    clampHeight(mode.get(), Prefs::get(Keys::panelHeight()))};
    // Without a screen the panel still exists, at the origin, until a screen appears.
    Rect frame{0, 0, size.width, size.height};
    if (const auto screen = currentScreen())
        frame = PanelPlacement::defaultFrame(size, NotchMetrics(*screen));
    panel_ = services_.windows.makePanel(frame);
    panelFrameObservation_ =
        panel_->observeFrameChanges(guard_.bind([this] { persistGeometry(); }));
    panelCloseObservation_ = panel_->observeClose(guard_.bind([this] { isVisible.set(false); }));
}

void PanelController::reposition() {
    if (!panel_) return;
    const auto screen = currentScreen();
    if (!screen) return;
    PanelPlacement::Request request = PanelPlacement::requestFromPreferences();
    request.configuredMode = mode.get();
    const PanelPlacement::Placement placement = PanelPlacement::place(request, *screen);
    hasNotchOnCurrentScreen.set(placement.hasNotch);
    didFallBackToFloating.set(placement.didFallBackToFloating);
    AppState& state = services_.appState;
    state.panelMode.set(placement.effectiveMode);
    state.notchHeight.set(placement.notchHeight);

    PanelWindowBehavior behavior;
    if (placement.windowLimits) {
        const PanelSizeLimits& limits = *placement.windowLimits;
        behavior = {
            true, true, {limits.minWidth, limits.minHeight}, {limits.maxWidth, limits.maxHeight}};
    }
    panel_->setBehavior(behavior);
    panel_->setFrame(placement.frame);
    applyPassThrough();
}

void PanelController::persistGeometry() {
    if (!panel_) return;
    const Rect frame = panel_->frame();
    const auto saved = PanelPlacement::geometryToSave(
        mode.get(), didFallBackToFloating.get(), frame,
        PanelPlacement::screenOfFrame(services_.screens.screens(), frame));
    if (saved) PanelPlacement::save(*saved);
}

void PanelController::applyPassThrough() {
    if (!panel_) return;
    if (Prefs::get(Keys::passThrough())) {
        setIgnoresMouse(!services_.input.isOptionKeyHeld());
        if (!optionKeyTimer_.isActive()) {
            optionKeyTimer_ = services_.runLoop.scheduleRepeating(
                kOptionKeyPollInterval, guard_.bind([this] { pollOptionKey(); }));
        }
    } else {
        setIgnoresMouse(false);
        optionKeyTimer_.cancel();
    }
    services_.appState.isPassThroughActive.set(panel_->ignoresMouseEvents());
}

void PanelController::pollOptionKey() {
    // The preference may have been switched off without the toggles' call: stop here then.
    if (!Prefs::get(Keys::passThrough())) {
        applyPassThrough();
        return;
    }
    const bool wanted = !services_.input.isOptionKeyHeld();
    if (wanted == panel_->ignoresMouseEvents()) return;
    setIgnoresMouse(wanted);
    services_.appState.isPassThroughActive.set(wanted);
}

void PanelController::setIgnoresMouse(bool ignores) {
    if (panel_->ignoresMouseEvents() != ignores) panel_->setIgnoresMouseEvents(ignores);
}

}  // namespace vorela
