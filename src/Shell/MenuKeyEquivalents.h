#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "App/MenuItem.h"

namespace vorela {

namespace Shortcuts {
class Context;
}

// Makes the application menu's own keys (Ctrl+0, Ctrl+, and Ctrl+Q) work while one of
// our windows is active, as a menu's key equivalents do: the tray shows them, and a tray
// menu is no menu bar that would hear them. Keys with Alt belong to the global shortcuts,
// which already act on them; while a recorder records, every key is the recorder's.
class MenuKeyEquivalents final : public QObject {
public:
    using Items = std::function<std::vector<MenuItem>()>;
    using Perform = std::function<void(const std::string& action)>;

    // Watches every key event of `application`; it and the shortcut context must outlive
    // this object.
    MenuKeyEquivalents(QObject& application, Shortcuts::Context& shortcuts, Items items,
                       Perform perform);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Shortcuts::Context& shortcuts_;
    Items items_;
    Perform perform_;
};

}  // namespace vorela
