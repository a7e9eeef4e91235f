#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "Platform/Keys/KeyboardLayout.h"

namespace vorela {

// A keyboard you can steer: starts as a US layout for the letter, digit and punctuation
// keys, with a 0.5 s repeat delay and a 0.05 s interval.
class FakeKeyboardLayout final : public KeyboardLayout {
public:
    FakeKeyboardLayout();

    std::optional<std::string> textForKey(std::uint16_t carbonKeyCode) const override;
    double keyRepeatDelay() const override { return repeatDelay_; }
    double keyRepeatInterval() const override { return repeatInterval_; }

    // --- test controls ---
    void setText(std::uint16_t carbonKeyCode, std::optional<std::string> text);
    void clear() { texts_.clear(); }
    void setKeyRepeat(double delaySeconds, double intervalSeconds) {
        repeatDelay_ = delaySeconds;
        repeatInterval_ = intervalSeconds;
    }
    int lookupCount() const { return lookupCount_; }

private:
    std::map<std::uint16_t, std::string> texts_;
    double repeatDelay_ = 0.5;
    double repeatInterval_ = 0.05;
    mutable int lookupCount_ = 0;
};

}  // namespace vorela
