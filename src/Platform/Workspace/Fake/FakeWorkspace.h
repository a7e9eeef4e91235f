#pragma once

#include <string>
#include <vector>

#include "Platform/Workspace/Workspace.h"

namespace vorela {

// Records the URLs it is asked to open; opens those the real workspace would.
class FakeWorkspace final : public Workspace {
public:
    bool open(const std::string& url) override {
        if (!isOpenable(url)) return false;
        opened.push_back(url);
        return true;
    }

    // --- test controls ---
    std::vector<std::string> opened;
};

}  // namespace vorela
