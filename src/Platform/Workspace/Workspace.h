#pragma once

#include <string>

namespace vorela {

// Opens links with the desktop's handler for them (the browser for pages, the mail
// program for mailto:). Main thread; returns at once without waiting for the handler.
class Workspace {
public:
    Workspace() = default;
    virtual ~Workspace() = default;
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;
    Workspace(Workspace&&) = delete;
    Workspace& operator=(Workspace&&) = delete;

    // False when no handler could be started.
    virtual bool openURL(const std::string& url) = 0;
};

}  // namespace vorela
