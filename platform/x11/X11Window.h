// What the toy's window needs of X11 beyond SDL: full screen asked for before
// the first showing, staying above panels that a window manager keeps over
// full-screen windows, and a visual that window managers can frame. The
// window comes as its X display and id, handed over by whoever made it.
#pragma once

// Xlib's display, declared here rather than included: Xlib's header defines
// macros (Status, Bool, None) that would clash with the callers' names.
struct _XDisplay; // NOLINT(bugprone-reserved-identifier)

namespace platform::x11 {

struct Target {
    _XDisplay* display = nullptr;
    unsigned long window = 0; // an X window id
};

// Makes SDL choose a TrueColor visual for the next OpenGL window instead of
// the DirectColor one it asks for first: a window manager that frames a
// DirectColor window draws its title bar in colours from the wrong map.
void preferTrueColorVisual();

// Asks the window manager, before the window is first shown, to show it full
// screen and above everything else.
void markFullScreen(const Target& target);

// Whether something else (a panel, mostly) is stacked over the window and
// overlaps it, and if so whether the window is still in the window manager's
// full-screen layer. Some window managers keep panels that ask for the top
// layer above full-screen windows.
enum class Covered { no, inFullScreenLayer, inTopLayer };
Covered coveredBy(const Target& target);

// Moving from the full-screen layer to the top one, keeping place and size.
// Window managers put a window that is mapped into a layer on top of that
// layer, but may not raise one that changes layers while mapped, so whoever
// owns the window hides it, waits until the window manager has let go of it,
// asks for the top layer and maps it again.
bool waitUntilWithdrawn(const Target& target, int milliseconds);
void askForTopLayer(const Target& target);

// Raises the window over its siblings and waits until the server has done so.
void raise(const Target& target);

} // namespace platform::x11
