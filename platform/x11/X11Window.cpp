// X11 details of the toy's window that SDL does not cover: the visual, the
// full-screen request before showing, and staying above panels.
#include "platform/x11/X11Window.h"

#include "platform/Rect.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Properties.h"

#include <X11/Xatom.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace platform::x11 {

namespace {

Atom atom(Display* display, const char* name)
{
    return XInternAtom(display, name, False);
}

// The window's area on the screen, if it is mapped and visible.
bool visibleArea(Display* display, Window window, Rect& area)
{
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0 || attributes.map_state != IsViewable)
        return false;
    int x = 0;
    int y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child))
        return false;
    area = {x, y, attributes.width, attributes.height};
    return true;
}

bool hasState(Display* display, Window window, Atom state)
{
    bool found = false;
    forEachItem(display, window, atom(display, "_NET_WM_STATE"), XA_ATOM,
                [&](unsigned long value) { found = found || value == state; });
    return found;
}

void setStates(const Target& x, Atom* states, int count)
{
    XChangeProperty(x.display, x.window, atom(x.display, "_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(states), count);
}

} // namespace

void preferTrueColorVisual()
{
    // SDL reads this variable each time it picks a visual for an OpenGL window;
    // without it SDL asks for a DirectColor visual first. Whatever the user set
    // stands.
    setenv("SDL_VIDEO_X11_NODIRECTCOLOR", "1", 0);
}

void markFullScreen(const Target& x)
{
    Atom states[2] = {atom(x.display, "_NET_WM_STATE_FULLSCREEN"), atom(x.display, "_NET_WM_STATE_ABOVE")};
    setStates(x, states, 2);
    XFlush(x.display);
}

Covered coveredBy(const Target& x)
{
    // Windows listed by the window manager can vanish between two requests;
    // such errors are expected here and must not end the process. Every
    // request below waits for its reply, and with it for its errors.
    const x11connection::ErrorTrap errors;
    // The window manager lists its windows from the bottom up; whatever comes
    // after this one and overlaps it is drawn over it. Where nothing comes
    // after it, reading the list is the whole check.
    bool seenSelf = false;
    bool ownKnown = false;
    bool ownVisible = false;
    bool covered = false;
    Rect own;
    forEachItem(x.display, DefaultRootWindow(x.display), atom(x.display, "_NET_CLIENT_LIST_STACKING"), XA_WINDOW,
                [&](unsigned long value) {
                    const auto window = static_cast<Window>(value);
                    if (window == x.window)
                        seenSelf = true;
                    if (window == x.window || !seenSelf || covered)
                        return;
                    if (!ownKnown) {
                        ownKnown = true;
                        ownVisible = visibleArea(x.display, x.window, own);
                    }
                    Rect other;
                    if (ownVisible && visibleArea(x.display, window, other))
                        covered = other.overlaps(own);
                });
    if (!covered)
        return Covered::no;
    return hasState(x.display, x.window, atom(x.display, "_NET_WM_STATE_FULLSCREEN")) ? Covered::inFullScreenLayer
                                                                                      : Covered::inTopLayer;
}

bool waitUntilWithdrawn(const Target& x, int milliseconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (withdrawn(x.display, x.window))
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void askForTopLayer(const Target& x)
{
    Atom above = atom(x.display, "_NET_WM_STATE_ABOVE");
    setStates(x, &above, 1);
}

void raise(const Target& x)
{
    XRaiseWindow(x.display, x.window);
    XSync(x.display, False);
}

} // namespace platform::x11
