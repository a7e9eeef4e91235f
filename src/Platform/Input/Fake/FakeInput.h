#pragma once

#include "Platform/Input/Input.h"

namespace vorela {

class FakeInput final : public Input {
public:
    bool isOptionKeyHeld() const override { return optionHeld_; }

    // --- test controls ---
    void setOptionKeyHeld(bool held) { optionHeld_ = held; }

private:
    bool optionHeld_ = false;
};

}  // namespace vorela
