// What the toy's window needs of X11 beyond SDL: full screen asked for before
// the first showing, staying above panels that a window manager keeps over
// full-screen windows, and a visual that window managers can frame. Every
// call does nothing where the window is not an X11 one.
#pragma once

#include "platform/Message.h"

namespace platform::x11 {

// Makes SDL choose a TrueColor visual for the next OpenGL window instead of
// the DirectColor one it asks for first: a window manager that frames a
// DirectColor window draws its title bar in colours from the wrong map.
void preferTrueColorVisual();

// Asks the window manager, before the window is first shown, to show it full
// screen and above everything else. False where the window is not an X11 one.
bool markFullScreen(WindowHandle window);

// Puts the full-screen window back on top where something else (a panel,
// mostly) is stacked over it although it has the focus. Some window managers
// keep panels that ask for the top layer above full-screen windows; there the
// window leaves the full-screen state for the top layer, keeping its size,
// and is raised over the panel. Returns whether anything was covering it.
bool keepOnTop(WindowHandle window);

} // namespace platform::x11
