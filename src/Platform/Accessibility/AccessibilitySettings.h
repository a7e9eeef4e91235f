#pragma once

namespace vorela {

// The desktop's accessibility preferences that the core honours. Asked on the main thread,
// possibly every display frame: an implementation answers from memory, without blocking.
class AccessibilitySettings {
public:
    virtual ~AccessibilitySettings() = default;
    // The user asked the desktop for less motion (shorter, calmer animations).
    virtual bool reduceMotion() const = 0;
};

}  // namespace vorela
