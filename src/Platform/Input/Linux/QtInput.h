#pragma once

#include "Platform/Input/Input.h"

namespace vorela {

// Asks the display server for the modifier state on every call (a round trip on X11), so
// it is right even while another application has the focus. Needs a QGuiApplication.
class QtInput final : public Input {
public:
    bool isOptionKeyHeld() const override;
};

}  // namespace vorela
