#include "Platform/Windows/Linux/X11BlurBehind.h"

#include <cstdlib>
#include <cstring>

namespace vorela::X11BlurBehind {
namespace {

constexpr const char* kBlurRegion = "_KDE_NET_WM_BLUR_BEHIND_REGION";

// The atom of a name, or none; with onlyIfExists a name nobody used stays unknown.
xcb_atom_t atom(xcb_connection_t* c, const char* name, bool onlyIfExists) {
    auto* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, onlyIfExists, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

xcb_window_t rootOf(xcb_connection_t* c) {
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

bool contains(const xcb_atom_t* atoms, int count, xcb_atom_t wanted) {
    for (int i = 0; i < count; ++i)
        if (atoms[i] == wanted) return true;
    return false;
}

bool isListedIn(xcb_connection_t* c, xcb_window_t root, xcb_atom_t blur) {
    const xcb_atom_t supported = atom(c, "_NET_SUPPORTED", true);
    if (supported == XCB_ATOM_NONE) return false;
    auto* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, supported, XCB_ATOM_ATOM, 0, 4096), nullptr);
    bool listed = false;
    if (reply && reply->format == 32) {
        listed = contains(static_cast<const xcb_atom_t*>(xcb_get_property_value(reply)),
                          xcb_get_property_value_length(reply) / 4, blur);
    }
    std::free(reply);
    return listed;
}

bool isRootProperty(xcb_connection_t* c, xcb_window_t root, xcb_atom_t blur) {
    auto* reply = xcb_list_properties_reply(c, xcb_list_properties(c, root), nullptr);
    const bool present = reply && contains(xcb_list_properties_atoms(reply),
                                           xcb_list_properties_atoms_length(reply), blur);
    std::free(reply);
    return present;
}

}  // namespace

bool isOffered(xcb_connection_t* c) {
    const xcb_atom_t blur = atom(c, kBlurRegion, true);
    if (blur == XCB_ATOM_NONE) return false;
    const xcb_window_t root = rootOf(c);
    return isListedIn(c, root, blur) || isRootProperty(c, root, blur);
}

void request(xcb_connection_t* c, xcb_window_t window, bool wanted) {
    const xcb_atom_t blur = atom(c, kBlurRegion, true);
    if (blur == XCB_ATOM_NONE) return;  // never announced: nothing to ask or take back
    if (wanted && isOffered(c)) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, blur, XCB_ATOM_CARDINAL, 32, 0,
                            nullptr);
    } else {
        xcb_delete_property(c, window, blur);
    }
    xcb_flush(c);
}

}  // namespace vorela::X11BlurBehind
