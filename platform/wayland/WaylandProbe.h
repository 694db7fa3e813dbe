// What a Wayland compositor offers, asked before SDL starts: SDL's Wayland
// driver crashes inside its start-up on a compositor without an input seat,
// and cannot open a window on one without the xdg-shell.
#pragma once

namespace platform {

// The globals of a Wayland compositor that SDL's Wayland driver relies on.
struct WaylandOffer {
    bool reached = false; // a connection was made and the registry read
    bool compositor = false;
    bool sharedMemory = false;
    bool shell = false; // xdg_wm_base
    bool seat = false;
    bool shortcutsInhibitor = false;
};

// Connects to the compositor that WAYLAND_DISPLAY names and lists its globals.
WaylandOffer probeWayland();

} // namespace platform
