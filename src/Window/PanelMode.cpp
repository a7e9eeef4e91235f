#include "Window/PanelMode.h"

#include "Platform/Bundle/Bundle.h"

namespace vorela {

std::string_view rawValue(PanelMode mode) { return EnumCases::raw(kPanelModeCases, mode); }

std::optional<PanelMode> fromRawValue(std::type_identity<PanelMode>, std::string_view raw) {
    return EnumCases::fromRaw(kPanelModeCases, raw);
}

std::string localizedName(PanelMode mode) {
    return Bundle::localized(EnumCases::name(kPanelModeCases, mode));
}

PanelSizeLimits sizeLimits(PanelMode mode) {
    // The minimum height is the same for every placement.
    constexpr double kMinHeight = 90;
    switch (mode) {
        case PanelMode::notch:
            return {420, 900, kMinHeight, 320};
        case PanelMode::floating:
            return {280, 1200, kMinHeight, 500};
        case PanelMode::fullscreen:
            return {280, 4000, kMinHeight, 3000};
    }
    return {280, 1200, kMinHeight, 500};
}

// Written out instead of std::clamp: a NaN must end at a bound, never pass through.
static double clampTo(double value, double low, double high) {
    const double raised = value >= low ? value : low;
    return raised <= high ? raised : high;
}

double clampWidth(PanelMode mode, double width) {
    const auto limits = sizeLimits(mode);
    return clampTo(width, limits.minWidth, limits.maxWidth);
}

double clampHeight(PanelMode mode, double height) {
    const auto limits = sizeLimits(mode);
    return clampTo(height, limits.minHeight, limits.maxHeight);
}

}  // namespace vorela
