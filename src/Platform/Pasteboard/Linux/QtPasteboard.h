#pragma once

#include "Platform/Pasteboard/Pasteboard.h"

namespace vorela {

// The X11/Wayland clipboard through QClipboard. Needs a QGuiApplication.
class QtPasteboard final : public Pasteboard {
public:
    std::optional<std::string> string() const override;
};

}  // namespace vorela
