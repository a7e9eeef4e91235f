#pragma once

#include <QWidget>

namespace vorela {

// The "Atajos" tab: one recorder row per global shortcut of the application, grouped by
// when they are used. Each row reads and writes the shortcut stored under its name, so a
// new shortcut takes effect at once; the tab itself keeps nothing.
class ShortcutSettings final : public QWidget {
    Q_OBJECT

public:
    explicit ShortcutSettings(QWidget* parent = nullptr);
};

}  // namespace vorela
