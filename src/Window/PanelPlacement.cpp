#include "Window/PanelPlacement.h"

#include <algorithm>
#include <cmath>

#include "Platform/Log/Log.h"
#include "Prefs/Prefs.h"

namespace vorela {

namespace Prefs::Keys {
const Key<PanelMode>& panelMode() {
    static const Key<PanelMode> key("panelMode", PanelMode::notch);
    return key;
}
const Key<double>& panelWidth() {
    static const Key<double> key("panelWidth", 620.0);
    return key;
}
const Key<double>& panelHeight() {
    static const Key<double> key("panelHeight", 160.0);
    return key;
}
const Key<PanelGeometryByScreen>& panelGeometryByScreen() {
    static const Key<PanelGeometryByScreen> key("panelGeometryByScreen", PanelGeometryByScreen{});
    return key;
}
const Key<std::optional<std::string>>& preferredScreen() {
    static const Key<std::optional<std::string>> key("preferredScreen");
    return key;
}
const Key<bool>& passThrough() {
    static const Key<bool> key("passThrough", false);
    return key;
}
const Key<bool>& glassBackground() {
    static const Key<bool> key("glassBackground", false);
    return key;
}
}  // namespace Prefs::Keys

namespace PanelPlacement {

std::string screenIdentifier(const Screen& screen) {
    return screen.deviceIdentifier ? *screen.deviceIdentifier : screen.localizedName;
}

std::optional<Screen> chooseScreen(const std::vector<Screen>& screens,
                                   const std::optional<Screen>& mainScreen,
                                   const std::optional<std::string>& preferredScreen,
                                   PanelMode configuredMode,
                                   const std::optional<Rect>& panelFrame) {
    const auto firstWhere = [&screens](auto&& predicate) -> std::optional<Screen> {
        const auto it = std::find_if(screens.begin(), screens.end(), predicate);
        if (it == screens.end()) return std::nullopt;
        return *it;
    };
    if (preferredScreen) {
        if (auto s = firstWhere([&](const Screen& screen) {
                return screenIdentifier(screen) == *preferredScreen;
            })) {
            return s;
        }
    }
    if (configuredMode == PanelMode::notch) {
        if (auto s = firstWhere([](const Screen& screen) { return screen.safeAreaTopInset > 0; })) {
            return s;
        }
    }
    if (panelFrame) {
        if (auto s = firstWhere(
                [&](const Screen& screen) { return screen.frame.intersects(*panelFrame); })) {
            return s;
        }
    }
    if (mainScreen) return mainScreen;
    if (!screens.empty()) return screens.front();
    return std::nullopt;
}

std::optional<Screen> screenOfFrame(const std::vector<Screen>& screens, const Rect& frame) {
    const Screen* best = nullptr;
    double bestArea = 0;
    for (const auto& screen : screens) {
        const double area = screen.frame.intersectionArea(frame);
        if (area > bestArea) {
            best = &screen;
            bestArea = area;
        }
    }
    if (!best) return std::nullopt;
    return *best;
}

double nearest(double v) { return std::round(v); }

namespace {

Rect notchFrame(Size size, const NotchMetrics& metrics) {
    const Rect& notch = *metrics.notchRect;
    const double height = size.height + notch.height;
    return {nearest(notch.midX() - size.width / 2), nearest(metrics.screenFrame.maxY() - height),
            nearest(size.width), nearest(height)};
}

}  // namespace

Rect defaultFrame(Size size, const NotchMetrics& metrics) {
    if (metrics.hasNotch()) return notchFrame(size, metrics);
    return {nearest(metrics.screenFrame.midX() - size.width / 2),
            nearest(metrics.visibleFrame.maxY() - size.height), nearest(size.width),
            nearest(size.height)};
}

std::optional<Rect> savedFrame(const PanelGeometryByScreen& saved, const std::string& screenId,
                               const NotchMetrics& metrics) {
    const auto it = saved.find(screenId);
    if (it == saved.end()) return std::nullopt;
    const Rect rect = it->second.rect();
    if (!rect.intersects(metrics.screenFrame)) return std::nullopt;
    return rect;
}

Placement place(const Request& request, const Screen& screen) {
    static const Log log("panel");
    const NotchMetrics metrics(screen);
    Placement placement;
    placement.hasNotch = metrics.hasNotch();
    placement.effectiveMode = request.configuredMode;
    if (request.configuredMode == PanelMode::notch && !metrics.hasNotch()) {
        placement.effectiveMode = PanelMode::floating;
        placement.didFallBackToFloating = true;
        log.notice("Pantalla sin notch: el panel pasa a modo flotante.");
    }
    if (placement.effectiveMode == PanelMode::notch) placement.notchHeight = metrics.notchHeight();

    const Size size{clampWidth(request.configuredMode, request.panelWidth),
                    clampHeight(request.configuredMode, request.panelHeight)};
    switch (placement.effectiveMode) {
        case PanelMode::notch:
            placement.frame = notchFrame(size, metrics);
            break;
        case PanelMode::floating:
            placement.frame = savedFrame(request.saved, screenIdentifier(screen), metrics)
                                  .value_or(defaultFrame(size, metrics));
            placement.windowLimits = sizeLimits(PanelMode::floating);
            break;
        case PanelMode::fullscreen:
            placement.frame = metrics.screenFrame;
            break;
    }
    return placement;
}

double notchPart(const Rect& frame, const NotchMetrics& metrics) {
    const auto& notch = metrics.notchRect;
    if (!notch || !notch->intersects(frame)) return 0;
    return std::min(frame.maxY(), notch->maxY()) - std::max(frame.minY(), notch->minY());
}

std::optional<SavedGeometry> geometryToSave(PanelMode configuredMode, bool didFallBackToFloating,
                                            const Rect& panelFrame,
                                            const std::optional<Screen>& panelScreen) {
    if (!panelScreen) return std::nullopt;
    if (configuredMode != PanelMode::floating && !didFallBackToFloating) return std::nullopt;

    SavedGeometry saved;
    saved.screenIdentifier = screenIdentifier(*panelScreen);
    saved.entry = PanelGeometry{std::string(rawValue(configuredMode)), panelFrame.x, panelFrame.y,
                                panelFrame.width, panelFrame.height};
    saved.panelWidth = clampWidth(configuredMode, panelFrame.width);
    // A floating panel placed on the notch rectangle has the notch strip on top of its own
    // height. Saving that strip as part of the height would add it again at the next
    // placement, so the panel would grow by the notch at every cycle.
    saved.panelHeight = clampHeight(
        configuredMode, panelFrame.height - notchPart(panelFrame, NotchMetrics(*panelScreen)));
    return saved;
}

Request requestFromPreferences() {
    namespace Keys = Prefs::Keys;
    return {Prefs::get(Keys::panelMode()), Prefs::get(Keys::panelWidth()),
            Prefs::get(Keys::panelHeight()), Prefs::get(Keys::panelGeometryByScreen())};
}

void save(const SavedGeometry& geometry) {
    namespace Keys = Prefs::Keys;
    Prefs::update(Keys::panelGeometryByScreen(), [&geometry](PanelGeometryByScreen& saved) {
        saved[geometry.screenIdentifier] = geometry.entry;
    });
    Prefs::set(Keys::panelWidth(), geometry.panelWidth);
    Prefs::set(Keys::panelHeight(), geometry.panelHeight);
}

}  // namespace PanelPlacement

}  // namespace vorela
