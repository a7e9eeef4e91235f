#pragma once

#include <string>
#include <string_view>

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

    // Whether a desktop handler may be asked for the link: it has a scheme, so it never
    // reads as an option of the opener, and it is not another system's settings page
    // ("x-apple.systempreferences:…"), which nothing here opens.
    static bool isOpenable(std::string_view url);
};

}  // namespace vorela
