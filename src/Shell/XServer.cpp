#include "Shell/XServer.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>

namespace vorela {

bool XServer::isMissing(int argc, char** argv) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && !std::string_view(platform).starts_with("xcb")) return false;
    const char* display = nullptr;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string_view(argv[i]) == "-display") display = argv[i + 1];
    xcb_connection_t* connection = xcb_connect(display, nullptr);
    const bool missing = xcb_connection_has_error(connection) != 0;
    xcb_disconnect(connection);
    return missing;
}

const char* XServer::missingText() {
    return "Vorela necesita un servidor X (X11, o XWayland en una sesión Wayland) y no encontró "
           "ninguno";
}

}  // namespace vorela
