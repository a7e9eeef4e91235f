#pragma once

#include "Platform/Accessibility/AccessibilitySettings.h"

namespace vorela {

// Accessibility preferences a test sets directly.
class FakeAccessibilitySettings final : public AccessibilitySettings {
public:
    bool reduceMotion() const override { return reduceMotion_; }

    // --- test controls ---
    void setReduceMotion(bool on) { reduceMotion_ = on; }

private:
    bool reduceMotion_ = false;
};

}  // namespace vorela
