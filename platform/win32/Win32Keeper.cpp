// The full-screen window's hold, taken and given back as the frame asks, and
// the foreground news its frame is told.
// The frame's message names before windows.h, whose macros of the same names
// and values would otherwise stand where they are declared.
#include "platform/win32/Win32Platform.h"

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Keeper.h"
#include "platform/win32/Win32KeyboardHook.h"
#include "platform/win32/Win32State.h"

namespace platform {

namespace win32 {

int ForegroundNews::activateApp(bool gained, bool iconic)
{
    if (!gained) {
        // A minimized window is out of the child's reach already; the frame
        // heard of that through WM_SIZE.
        const bool report = known != Known::away && !iconic;
        known = Known::away;
        return report ? lost : none;
    }
    // Back while still minimized: the news waits for the window to be shown.
    if (iconic || known == Known::front)
        return none;
    known = Known::front;
    return back;
}

int ForegroundNews::activate(bool active, bool minimizedFlag, bool iconic)
{
    if (!active)
        return activateApp(false, iconic);
    // The frame takes the hold from this message itself.
    if (!minimizedFlag && !iconic)
        known = Known::front;
    return none;
}

int ForegroundNews::size(bool minimized, bool foreground)
{
    if (minimized) {
        known = Known::away;
        return none;
    }
    if (!foreground || known == Known::front)
        return none;
    known = Known::front;
    return back;
}

void FullScreenKeeper::keep(HWND window)
{
    kept = window;
    held = false;
    cursorShownForDesktop = false;
    news = ForegroundNews{};
    mode.guardTheWayOut();
}

void FullScreenKeeper::hold()
{
    if (kept == nullptr || held)
        return;
    held = true;
    mode.changeAgain();
    SetWindowPos(kept, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    installKeyboardHook(kept);
    RECT bounds;
    if (GetWindowRect(kept, &bounds))
        ClipCursor(&bounds);
    if (cursorShownForDesktop) {
        ShowCursor(FALSE);
        cursorShownForDesktop = false;
    }
}

void FullScreenKeeper::release()
{
    if (kept == nullptr || !held)
        return;
    held = false;
    removeKeyboardHook();
    ClipCursor(nullptr);
    mode.restoreDesktop();
    if (!cursorShownForDesktop) {
        ShowCursor(TRUE);
        cursorShownForDesktop = true;
    }
}

void FullScreenKeeper::forget(HWND window)
{
    if (window == nullptr || window != kept)
        return;
    release();
    removeKeyboardHook();
    ClipCursor(nullptr);
    mode.restoreDesktop();
    kept = nullptr;
}

} // namespace win32

using namespace win32;

// The frame asks for the one full-screen window; any other is no window of
// the keeper's and is left as it is.
void Win32Platform::holdFullScreen(WindowHandle window)
{
    if (toWindow(window) == state->keeper.window())
        state->keeper.hold();
}

void Win32Platform::releaseFullScreen(WindowHandle window)
{
    if (toWindow(window) == state->keeper.window())
        state->keeper.release();
}

} // namespace platform
