#pragma once

#include "Platform/Log/Log.h"
#include "Platform/Workspace/Workspace.h"

namespace vorela {

// Opens URLs with the desktop's xdg-open, detached, so a slow browser start never blocks
// the main thread.
class XdgWorkspace final : public Workspace {
public:
    bool open(const std::string& url) override;

private:
    Log logger_{"app"};
};

}  // namespace vorela
