#pragma once

#include <chrono>
#include <memory>
#include <optional>

#include "Platform/Accessibility/AccessibilitySettings.h"

namespace vorela {

// Reduce motion follows the desktop's animation switch, GNOME's
// org.gnome.desktop.interface enable-animations, read through GSettings. GIO is loaded
// at run time: without it, or without that schema, reduce motion is off. The setting is
// read at most once a second, so it may be asked every frame.
class DesktopAccessibilitySettings final : public AccessibilitySettings {
public:
    DesktopAccessibilitySettings();
    ~DesktopAccessibilitySettings() override;
    DesktopAccessibilitySettings(const DesktopAccessibilitySettings&) = delete;
    DesktopAccessibilitySettings& operator=(const DesktopAccessibilitySettings&) = delete;
    DesktopAccessibilitySettings(DesktopAccessibilitySettings&&) = delete;
    DesktopAccessibilitySettings& operator=(DesktopAccessibilitySettings&&) = delete;

    bool reduceMotion() const override;
    // Whether the desktop's setting could be found at all.
    bool isAvailable() const { return gio_ != nullptr; }

private:
    static constexpr std::chrono::seconds kRereadAfter{1};

    struct Gio;
    std::unique_ptr<Gio> gio_;
    mutable bool reduceMotion_ = false;
    mutable std::optional<std::chrono::steady_clock::time_point> readAt_;
};

}  // namespace vorela
