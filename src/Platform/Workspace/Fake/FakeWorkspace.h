#pragma once

#include <string>
#include <vector>

#include "Platform/Workspace/Workspace.h"

namespace vorela {

// Records the links it is asked to open.
class FakeWorkspace final : public Workspace {
public:
    bool openURL(const std::string& url) override {
        opened.push_back(url);
        return true;
    }

    // --- test controls ---
    std::vector<std::string> opened;
};

}  // namespace vorela
