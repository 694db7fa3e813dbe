// The full-screen window's hold on the machine, and what its frame hears of
// the foreground. While the window is held the display is in the toy's mode,
// the desktop's keys are kept from the desktop, the pointer stays hidden and
// inside the window, and the window stays on top; released, the desktop has
// all of them back. When to hold and when to let go is the frame's choice:
// the keeper does what it is asked, and reports each time another program
// takes the foreground, or the window is in front again, as WM_ACTIVATEAPP.
#pragma once

#include "platform/win32/Win32DisplayMode.h"

#include <windows.h>

namespace platform::win32 {

// What the full-screen window's frame is told of the foreground, so that it
// hears each loss once, however many of Windows' messages announce it, and
// hears of the window in front again whichever way it came back.
class ForegroundNews {
public:
    static constexpr int none = -1;
    static constexpr int lost = 0; // another program's window took the foreground
    static constexpr int back = 1; // the window has the foreground back

    // Each takes what Windows said and returns the WM_ACTIVATEAPP wParam to
    // report, or `none`. `iconic`: the window is minimized now.
    // Windows' own WM_ACTIVATEAPP, which is reported through this alone.
    int activateApp(bool gained, bool iconic);
    // WM_ACTIVATE: its state and its minimized flag.
    int activate(bool active, bool minimizedFlag, bool iconic);
    // WM_SIZE: minimized or shown, and whether the window is the foreground.
    int size(bool minimized, bool foreground);

private:
    enum class Known { nothing, front, away };
    Known known = Known::nothing;
};

class FullScreenKeeper {
public:
    explicit FullScreenKeeper(DisplayMode& displayMode) : mode(displayMode) {}

    // The full-screen window to keep, right after it is created.
    void keep(HWND window);
    HWND window() const { return kept; }
    // In front: the mode, the keyboard, the pointer, the top. Idempotent.
    void hold();
    // Minimized: the desktop gets its mode, keys and pointer back. Idempotent.
    void release();
    // The window goes: everything it held is given back, whatever the frame
    // asked last.
    void forget(HWND window);

    ForegroundNews news;

private:
    DisplayMode& mode;
    HWND kept = nullptr;
    bool held = false;
    bool cursorShownForDesktop = false;
};

} // namespace platform::win32
