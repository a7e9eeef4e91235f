#pragma once

namespace vorela {

// The X server the program needs for its global keys and screen reads: X11, or XWayland in
// a Wayland session. Qt aborts when its xcb platform finds no server, so the program asks
// first and ends with a clear line instead.
class XServer {
public:
    // Whether Qt is to run on xcb (QT_QPA_PLATFORM unset or "xcb…") and no X server answers
    // at the display it would open: the "-display" argument, else DISPLAY.
    static bool isMissing(int argc, char** argv);
    // What the user reads then.
    static const char* missingText();
};

}  // namespace vorela
