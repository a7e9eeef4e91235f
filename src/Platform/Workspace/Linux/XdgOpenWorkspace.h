#pragma once

#include <string>

#include "Platform/Workspace/Workspace.h"

namespace vorela {

// Hands each link to xdg-open, detached, so the desktop's own handler opens it.
class XdgOpenWorkspace final : public Workspace {
public:
    explicit XdgOpenWorkspace(std::string opener = "xdg-open") : opener_(std::move(opener)) {}
    bool openURL(const std::string& url) override;

private:
    std::string opener_;
};

}  // namespace vorela
