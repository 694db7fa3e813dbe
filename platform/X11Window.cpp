// X11 details of the toy's window that SDL does not cover: the visual, the
// full-screen request before showing, and staying above panels.
#include "platform/X11Window.h"

#include "platform/X11Connection.h"
#include "platform/X11WmState.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdlib>

namespace platform::x11 {

namespace {

struct Target {
    Display* display = nullptr;
    Window window = 0;
};

Target target(WindowHandle handle)
{
    SDL_Window* window = SDL_GetWindowFromID(static_cast<Uint32>(handle));
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11)
        return {};
    return {info.info.x11.display, info.info.x11.window};
}

Atom atom(Display* display, const char* name)
{
    return XInternAtom(display, name, False);
}

struct Area {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool overlaps(const Area& other) const
    {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
};

// The window's area on the screen, if it is mapped and visible.
bool visibleArea(Display* display, Window window, Area& area)
{
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0 || attributes.map_state != IsViewable)
        return false;
    int x = 0;
    int y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child))
        return false;
    area = {x, y, x + attributes.width, y + attributes.height};
    return true;
}

// The atoms of a property, or none.
template <typename Each>
void forEachAtom(Display* display, Window window, Atom property, Atom type, Each each)
{
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 4096, False, type, &actualType, &format, &count, &remaining,
                           &data) != Success)
        return;
    if (data != nullptr && format == 32) {
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long i = 0; i < count; ++i)
            each(values[i]);
    }
    if (data != nullptr)
        XFree(data);
}

bool hasState(Display* display, Window window, Atom state)
{
    bool found = false;
    forEachAtom(display, window, atom(display, "_NET_WM_STATE"), XA_ATOM,
                [&](unsigned long value) { found = found || value == state; });
    return found;
}

// Hides the window, waits (up to a second) until the window manager has let
// go of it, as a client must before mapping a window again, and shows it
// again asking for the top layer.
void remapInTopLayer(WindowHandle handle, const Target& x)
{
    SDL_Window* window = SDL_GetWindowFromID(static_cast<Uint32>(handle));
    SDL_HideWindow(window);
    const Uint64 deadline = SDL_GetTicks64() + 1000;
    while (!withdrawn(x.display, x.window) && SDL_GetTicks64() < deadline)
        SDL_Delay(5);
    Atom above = atom(x.display, "_NET_WM_STATE_ABOVE");
    XChangeProperty(x.display, x.window, atom(x.display, "_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&above), 1);
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
}

} // namespace

void preferTrueColorVisual()
{
    // SDL reads this variable each time it picks a visual for an OpenGL window;
    // without it SDL asks for a DirectColor visual first. Whatever the user set
    // stands.
    setenv("SDL_VIDEO_X11_NODIRECTCOLOR", "1", 0);
}

bool markFullScreen(WindowHandle handle)
{
    const Target x = target(handle);
    if (x.display == nullptr)
        return false;
    Atom states[2] = {atom(x.display, "_NET_WM_STATE_FULLSCREEN"), atom(x.display, "_NET_WM_STATE_ABOVE")};
    XChangeProperty(x.display, x.window, atom(x.display, "_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(states), 2);
    XFlush(x.display);
    return true;
}

bool keepOnTop(WindowHandle handle)
{
    const Target x = target(handle);
    if (x.display == nullptr)
        return false;
    // Windows listed by the window manager can vanish between two requests;
    // such errors are expected here and must not end the process. Every
    // request below waits for its reply, and with it for its errors, until
    // the restacking, which is waited for at the end.
    const x11connection::ErrorTrap errors;
    // The window manager lists its windows from the bottom up; whatever comes
    // after this one and overlaps it is drawn over it. Where nothing comes
    // after it, reading the list is the whole check.
    bool seenSelf = false;
    bool ownKnown = false;
    bool ownVisible = false;
    bool covered = false;
    Area own;
    forEachAtom(x.display, DefaultRootWindow(x.display), atom(x.display, "_NET_CLIENT_LIST_STACKING"), XA_WINDOW,
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
                    Area other;
                    if (ownVisible && visibleArea(x.display, window, other))
                        covered = other.overlaps(own);
                });
    if (!covered)
        return false;

    // The window manager's full-screen layer is not the top one: take the top
    // layer instead, with the same place and size. Window managers put a
    // window that is mapped into a layer on top of that layer, but may not
    // raise one that changes layers while mapped, so the window is mapped
    // afresh. Where it has been there already, a raise is all that is left.
    if (hasState(x.display, x.window, atom(x.display, "_NET_WM_STATE_FULLSCREEN")))
        remapInTopLayer(handle, x);
    else
        XRaiseWindow(x.display, x.window);
    XSync(x.display, False);
    return true;
}

} // namespace platform::x11
