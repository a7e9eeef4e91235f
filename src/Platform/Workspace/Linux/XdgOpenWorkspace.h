#pragma once

#include <functional>
#include <string>

#include "Platform/Workspace/DesktopSettings.h"
#include "Platform/Workspace/Workspace.h"

namespace vorela {

// Hands each link to xdg-open, detached, so the desktop's own handler opens it; a
// permission settings address starts the first settings tool for it found on PATH.
class XdgOpenWorkspace final : public Workspace {
public:
    // Starts a program detached; false when it could not be started.
    using Launcher = std::function<bool(const SettingsCommand&)>;

    XdgOpenWorkspace();
    XdgOpenWorkspace(std::string opener, DesktopSettings settings, Launcher launcher);

    bool openURL(const std::string& url) override;
    bool offers(const std::string& url) const override;
    bool isWaylandSession() const override { return settings_.isWaylandSession(); }

    // The launcher of the running program.
    static bool startDetached(const SettingsCommand& command);

private:
    std::string opener_;
    DesktopSettings settings_;
    Launcher launcher_;
};

}  // namespace vorela
