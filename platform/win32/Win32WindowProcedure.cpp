// The program's window procedure: the backend's mechanics, then the frame.
#include "platform/win32/Win32WindowProcedure.h"

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32State.h"

namespace platform::win32 {

namespace {

LRESULT callFrame(BackendState& state, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ++state.inFrameProcedure;
    const LRESULT result = state.frameProcedure(toHandle(window), message, wParam, lParam);
    --state.inFrameProcedure;
    return result;
}

void reportForeground(BackendState& state, HWND window, int news)
{
    if (news != ForegroundNews::none)
        callFrame(state, window, WM_ACTIVATEAPP, static_cast<WPARAM>(news), 0);
}

// The full-screen window's messages that are the backend's own business: the
// minimize the frame asked for, the foreground news, the session's end and the
// window's end. True when the frame must not see the message.
bool keeperFirst(BackendState& state, HWND window, UINT message, WPARAM wParam)
{
    FullScreenKeeper& keeper = state.keeper;
    switch (message) {
    case WM_ACTIVATEAPP:
        reportForeground(state, window, keeper.news.activateApp(wParam != FALSE, IsIconic(window) != FALSE));
        return true;
    case WM_ENDSESSION:
        // The user logs off: the desktop's mode is given back before the
        // session goes, whatever the frame does.
        if (wParam != FALSE) {
            keeper.release();
            state.displayMode.restoreDesktop();
        }
        return false;
    case WM_DESTROY:
        keeper.forget(window);
        return false;
    default:
        return false;
    }
}

// What the full-screen window's frame hears of the foreground after the
// message that told of it.
void keeperAfter(BackendState& state, HWND window, UINT message, WPARAM wParam)
{
    ForegroundNews& news = state.keeper.news;
    switch (message) {
    case WM_ACTIVATE:
        reportForeground(state, window,
                         news.activate(LOWORD(wParam) != WA_INACTIVE, HIWORD(wParam) != 0, IsIconic(window) != FALSE));
        break;
    case WM_SIZE:
        reportForeground(state, window, news.size(wParam == SIZE_MINIMIZED, GetForegroundWindow() == window));
        break;
    default:
        break;
    }
}

} // namespace

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* state = reinterpret_cast<BackendState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // Before WM_NCCREATE (WM_GETMINMAXINFO) the window has no backend yet.
    if (state == nullptr || state->frameProcedure == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == minimizeMessage) {
        if (!IsIconic(window))
            ShowWindow(window, SW_MINIMIZE);
        return 0;
    }
    const bool kept = window == state->keeper.window();
    if (kept && keeperFirst(*state, window, message, wParam))
        return 0;
    const LRESULT result = callFrame(*state, window, message, wParam, lParam);
    if (kept)
        keeperAfter(*state, window, message, wParam);
    return result;
}

} // namespace platform::win32
