// The display mode the toy switches to, and the desktop's own mode given back
// on every way out of the toy: an ordinary end, a crash, the console closing.
// (The session's end reaches the window procedure, which gives it back there.)
#pragma once

#include <windows.h>

#include <atomic>

namespace platform::win32 {

class DisplayMode {
public:
    DisplayMode() = default;
    // Gives the desktop its mode back and takes the guards away.
    ~DisplayMode();
    DisplayMode(const DisplayMode&) = delete;
    DisplayMode& operator=(const DisplayMode&) = delete;

    // Switches to `mode` for the full screen; false when exactly that mode
    // cannot be had. Once switched, every way out gives the desktop's mode back.
    bool change(const DEVMODEW& mode);
    // The full-screen mode once more after the desktop had its own, if the
    // toy ever switched; true when the display is in it.
    bool changeAgain();
    // Gives the desktop its own mode back, if the toy changed it; safe to call
    // from any thread, any number of times.
    void restoreDesktop();
    bool changed() const { return modeChanged.load(); }
    // From now on a crash or the console's end gives the desktop its mode back
    // (and its keys and pointer).
    void guardTheWayOut();

private:
    DEVMODEW fullScreen{};
    std::atomic<bool> modeChanged{false};
};

} // namespace platform::win32
