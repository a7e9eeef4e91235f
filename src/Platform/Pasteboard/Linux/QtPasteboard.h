#pragma once

#include "Platform/Pasteboard/Pasteboard.h"

namespace vorela {

// The X11/Wayland clipboard through QClipboard, or the X11 primary selection (the text
// the user last selected anywhere), which the "Leer en Vorela" action reads. Needs a
// QGuiApplication.
class QtPasteboard final : public Pasteboard {
public:
    enum class Source { clipboard, selection };

    explicit QtPasteboard(Source source = Source::clipboard) : source_(source) {}
    std::optional<std::string> string() const override;

private:
    Source source_ = Source::clipboard;
};

}  // namespace vorela
