#pragma once

#include <QWidget>

namespace vorela {

namespace Shortcuts {
class Context;
}

// The "Atajos" tab: one recorder row per global shortcut of the application, grouped by
// when they are used. Each row reads and writes the shortcut stored under its name, so a
// new shortcut takes effect at once; the tab itself keeps nothing. In a Wayland session it
// says that the keys act only while an X11 window has the focus. The context must outlive
// the tab.
class ShortcutSettings final : public QWidget {
    Q_OBJECT

public:
    ShortcutSettings(Shortcuts::Context& shortcuts, bool isWaylandSession,
                     QWidget* parent = nullptr);
};

}  // namespace vorela
