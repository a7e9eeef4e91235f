#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "Platform/Workspace/Workspace.h"

namespace vorela {

// Records the links it is asked to open.
class FakeWorkspace final : public Workspace {
public:
    bool openURL(const std::string& url) override {
        opened.push_back(url);
        return opens;
    }
    bool offers(const std::string& url) const override {
        return std::find(notOffered.begin(), notOffered.end(), url) == notOffered.end();
    }

    bool isWaylandSession() const override { return waylandSession; }

    // --- test controls ---
    std::vector<std::string> opened;
    bool opens = true;                    // what openURL answers
    std::vector<std::string> notOffered;  // links this session has no use for
    bool waylandSession = false;
};

}  // namespace vorela
