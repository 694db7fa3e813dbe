// The SDL side of the X11 helpers: which driver SDL runs on, and the X
// display and window behind an SDL window, for the helpers that need them.
#pragma once

#include "platform/Message.h"
#include "platform/x11/X11Window.h"

#include <optional>

namespace platform {

// Whether SDL has started on its X11 driver (not on Wayland or another).
bool onX11Driver();

// The X display and window of an SDL window; none where it is not an X11 one.
std::optional<x11::Target> x11Target(WindowHandle window);

// Puts a full-screen window back on top where something else is stacked over
// it although it has the focus (see x11::coveredBy). Returns whether anything
// was covering it.
bool keepOnTop(WindowHandle window);

} // namespace platform
