#pragma once

#include <string>
#include <string_view>

namespace vorela {

// Opens links with the desktop's handler for them (the browser for pages, the mail
// program for mailto:), and another system's permission settings addresses with this
// desktop's own settings tool for that permission. Main thread; returns at once without
// waiting for the handler.
class Workspace {
public:
    Workspace() = default;
    virtual ~Workspace() = default;
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;
    Workspace(Workspace&&) = delete;
    Workspace& operator=(Workspace&&) = delete;

    // False when no handler could be started (for a settings address: no settings tool
    // for it is installed).
    virtual bool openURL(const std::string& url) = 0;
    // Whether a link is worth offering in this session: a settings address only where the
    // permission it is about exists here, any other link always.
    virtual bool offers(const std::string& url) const = 0;
    // A Wayland session runs the program on XWayland, whose X server sees only the keys
    // typed into X11 windows.
    virtual bool isWaylandSession() const = 0;

    // Whether a desktop handler may be asked for the link: it has a scheme, so it never
    // reads as an option of the opener, and it is not another system's settings page
    // ("x-apple.systempreferences:…"), which nothing here opens.
    static bool isOpenable(std::string_view url);
};

}  // namespace vorela
