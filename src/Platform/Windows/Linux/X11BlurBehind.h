#pragma once

#include <xcb/xcb.h>

namespace vorela {

// Blur behind a window, where the compositor offers it. A compositor that can blur what
// lies behind a translucent window (KWin's blur effect) announces the
// `_KDE_NET_WM_BLUR_BEHIND_REGION` property: in `_NET_SUPPORTED`, or as a property of
// that name on the root window, which is how KWin announces its effects. A window asks
// for the blur by carrying the property; an empty region blurs behind the whole window.
namespace X11BlurBehind {

// Whether the running compositor announces the blur. Never creates the atom.
bool isOffered(xcb_connection_t* c);
// Asks for the blur behind the window while wanted and offered; otherwise takes the
// request away, so a compositor started later does not blur an unwanted window.
void request(xcb_connection_t* c, xcb_window_t window, bool wanted);

}  // namespace X11BlurBehind
}  // namespace vorela
