// Which of SDL's video drivers the toy asks for, decided before SDL starts.
//
// On a Wayland desktop the session names both a Wayland compositor and an X
// display (Xwayland). Only SDL's Wayland driver can keep the keyboard there:
// it asks the compositor to inhibit its shortcuts, which Xwayland's grabs do
// not reliably do. But SDL's Wayland driver crashes inside SDL_Init on a
// compositor without an input seat, and cannot open a window on one without
// the xdg-shell, so the compositor is asked first what it offers.
#pragma once

#include "platform/wayland/WaylandProbe.h"

#include <string>

namespace platform {

// What the environment says: SDL_VIDEODRIVER, DISPLAY and WAYLAND_DISPLAY,
// each set to something non-empty, and the name in WAYLAND_DISPLAY.
struct DisplayEnvironment {
    std::string namedDriver;
    bool x11 = false;
    std::string wayland;
};

DisplayEnvironment readDisplayEnvironment();

// The driver to ask SDL for: empty to leave SDL to choose (a driver was
// named), "x11" or "wayland". When no driver can work, driver is empty and
// error says why in one line. note, when set, is one line worth telling
// the parent (a Wayland compositor passed over for X).
struct VideoDriverChoice {
    std::string driver;
    std::string error;
    std::string note;
};

// Decides from the environment; `probe` is called only when a Wayland
// compositor is named and its offer matters.
VideoDriverChoice chooseVideoDriver(const DisplayEnvironment& environment, WaylandOffer (*probe)());

} // namespace platform
