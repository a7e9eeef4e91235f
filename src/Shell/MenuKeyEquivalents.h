#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "App/MenuItem.h"

namespace vorela {

// Makes the application menu's own keys (Ctrl+0, Ctrl+, and Ctrl+Q) work while one of
// our windows is active, as a menu's key equivalents do: the tray shows them, and a tray
// menu is no menu bar that would hear them. Keys with Alt belong to the global shortcuts,
// which already act on them; while a recorder records, every key is the recorder's.
class MenuKeyEquivalents final : public QObject {
public:
    using Items = std::function<std::vector<MenuItem>()>;
    using Perform = std::function<void(const std::string& action)>;

    // Watches every key event of `application`, which must outlive it.
    MenuKeyEquivalents(QObject& application, Items items, Perform perform);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Items items_;
    Perform perform_;
};

}  // namespace vorela
