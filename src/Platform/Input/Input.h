#pragma once

namespace vorela {

// The keyboard state at this moment, whichever window has the focus. Main thread only.
class Input {
public:
    virtual ~Input() = default;
    // The Option key of the original design: Alt on a PC keyboard.
    virtual bool isOptionKeyHeld() const = 0;
};

}  // namespace vorela
