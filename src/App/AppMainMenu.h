#pragma once

#include <functional>
#include <vector>

#include "App/MenuItem.h"
#include "Shortcuts/MenuItem.h"

namespace vorela {

// The application's menus (the tray's and the panel's, one list of items) as the shortcut
// recorder's conflict check reads them: described afresh from `build` on every call, so a
// key shown or changed since is what counts. Main thread.
class AppMainMenu final : public Shortcuts::MainMenu {
public:
    using Build = std::function<std::vector<MenuItem>()>;

    explicit AppMainMenu(Build build) : build_(std::move(build)) {}
    std::vector<Shortcuts::MenuItem> items() const override;

    // Each item with its submenu: the key's character (UTF-8) with its modifiers as
    // key-event flags; separators and labels are left out.
    static std::vector<Shortcuts::MenuItem> describe(const std::vector<MenuItem>& items);

private:
    Build build_;
};

}  // namespace vorela
