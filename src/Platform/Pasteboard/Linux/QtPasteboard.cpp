#include "Platform/Pasteboard/Linux/QtPasteboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace vorela {

std::optional<std::string> QtPasteboard::string() const {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return std::nullopt;
    const auto mode = source_ == Source::selection ? QClipboard::Selection : QClipboard::Clipboard;
    if (mode == QClipboard::Selection && !clipboard->supportsSelection()) return std::nullopt;
    const QMimeData* data = clipboard->mimeData(mode);
    if (!data || !data->hasText()) return std::nullopt;
    return data->text().toStdString();
}

}  // namespace vorela
