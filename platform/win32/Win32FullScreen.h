// The desktop's display mode comes back on every way out of the toy: an
// ordinary end, a crash, the console closing, the user logging off. While the
// full-screen window is minimized the desktop has its own mode too; while it
// is in front the desktop's keys are kept from the desktop, the pointer stays
// hidden and inside the window, and the window stays on top. Where it loses
// the foreground anyway it minimizes itself, so a child never types into a
// window nobody can see.
#pragma once

#include <windows.h>

namespace platform::win32 {

// Called once the display is in `mode`: from now on every way out gives the
// desktop's mode back.
void displayModeChanged(const DEVMODEW& mode);
// Gives the desktop its own mode back, if the toy changed it; safe to call
// from any thread, any number of times.
void restoreDesktopMode();
bool desktopModeChanged();

// The full-screen window whose display mode, keyboard and pointer this keeps;
// called right after it is created.
void keepFullScreen(HWND window);
// The window procedure's first look at every message of the window, before
// the program's own procedure. True when the message was this part's own and
// the program must not see it; then *result is what the procedure returns.
bool watchFullScreenMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
// The full-screen window goes: everything it held is given back.
void releaseFullScreen(HWND window);

} // namespace platform::win32
