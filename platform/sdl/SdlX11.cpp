// Reaching the X11 helpers from SDL's windows: SDL hands out the X display and
// window, and owns showing and hiding, so that its own idea of the window
// stays true while the window moves between the window manager's layers.
#include "platform/sdl/SdlX11.h"

#include "platform/x11/X11Connection.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <cstring>

namespace platform {

bool onX11Driver()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && std::strcmp(driver, "x11") == 0;
}

std::optional<x11::Target> x11Target(WindowHandle handle)
{
    SDL_Window* window = SDL_GetWindowFromID(static_cast<Uint32>(handle));
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11)
        return std::nullopt;
    return x11::Target{info.info.x11.display, info.info.x11.window};
}

bool keepOnTop(WindowHandle handle)
{
    const std::optional<x11::Target> target = x11Target(handle);
    if (!target)
        return false;
    switch (x11::coveredBy(*target)) {
    case x11::Covered::no:
        return false;
    case x11::Covered::inFullScreenLayer: {
        // Hidden, let go of by the window manager (a second at most), and
        // shown again asking for the top layer.
        SDL_Window* window = SDL_GetWindowFromID(static_cast<Uint32>(handle));
        SDL_HideWindow(window);
        x11::waitUntilWithdrawn(*target, 1000);
        x11::askForTopLayer(*target);
        SDL_ShowWindow(window);
        SDL_RaiseWindow(window);
        x11connection::waitForServer(target->display);
        return true;
    }
    case x11::Covered::inTopLayer:
        x11::raise(*target);
        return true;
    }
    return false;
}

} // namespace platform
