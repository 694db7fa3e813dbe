// Choosing SDL's video driver: SDL's Wayland driver wherever the compositor
// offers what it needs, X11 otherwise (see VideoDriver.h).
#include "platform/sdl/VideoDriver.h"

#include <SDL.h>

#include <cstdlib>

namespace platform {

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Why SDL's Wayland driver cannot be used there, or nothing when it can.
std::string waylandShortfall(const WaylandOffer& offer)
{
    if (!offer.reached)
        return "cannot be reached";
    if (!offer.seat)
        return "has no input seat";
    if (!offer.compositor || !offer.sharedMemory || !offer.shell)
        return "is too old (it lacks wl_compositor, wl_shm or xdg_wm_base)";
    return "";
}

} // namespace

DisplayEnvironment readDisplayEnvironment()
{
    DisplayEnvironment result;
    result.namedDriver = environment("SDL_VIDEODRIVER");
    result.x11 = !environment("DISPLAY").empty();
    result.wayland = environment("WAYLAND_DISPLAY");
    return result;
}

VideoDriverChoice chooseVideoDriver(const DisplayEnvironment& environment, WaylandOffer (*probe)())
{
    VideoDriverChoice choice;
    const std::string compositor = "the Wayland compositor \"" + environment.wayland + "\" ";
    if (!environment.namedDriver.empty()) {
        // Named drivers are SDL's to start, but its Wayland driver would crash
        // where it cannot work.
        if (SDL_strcasecmp(environment.namedDriver.c_str(), "wayland") == 0) {
            const std::string shortfall = waylandShortfall(probe());
            if (!shortfall.empty())
                choice.error = compositor + shortfall;
        }
        return choice;
    }
    if (environment.wayland.empty()) {
        if (environment.x11)
            choice.driver = "x11";
        else
            choice.error = "neither DISPLAY nor WAYLAND_DISPLAY is set";
        return choice;
    }
    const std::string shortfall = waylandShortfall(probe());
    if (shortfall.empty()) {
        choice.driver = "wayland";
    } else if (environment.x11) {
        choice.driver = "x11";
        choice.note = compositor + shortfall + "; using its X server instead";
    } else {
        choice.error = compositor + shortfall;
    }
    return choice;
}

} // namespace platform
