// What a window manager says about a client window in its WM_STATE property.
#pragma once

#include <X11/Xlib.h>

namespace platform::x11 {

// Whether the window manager has let go of a window the program hid, so that
// it may be shown again: the manager either deletes WM_STATE or sets it to
// WithdrawnState, as the conventions between clients allow both.
bool withdrawn(Display* display, Window window);

} // namespace platform::x11
