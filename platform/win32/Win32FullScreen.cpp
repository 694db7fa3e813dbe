#include "platform/win32/Win32FullScreen.h"

#include "platform/win32/Win32KeyboardHook.h"

#include <atomic>

namespace platform::win32 {

namespace {

// Sent to itself by a window that lost the foreground: minimizing from inside
// the activation messages would re-enter them.
constexpr UINT minimizeMessage = WM_APP + 0x5A1;

DEVMODEW fullScreenMode{};
std::atomic<bool> modeChanged{false};
bool guardsInstalled = false;
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;

HWND keptWindow = nullptr;
bool inFront = false;
bool cursorShownForDesktop = false;

LONG WINAPI restoreModeOnCrash(EXCEPTION_POINTERS* exception)
{
    removeKeyboardHook();
    ClipCursor(nullptr);
    restoreDesktopMode();
    return previousFilter != nullptr ? previousFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

BOOL WINAPI restoreModeOnConsoleEnd(DWORD)
{
    restoreDesktopMode();
    return FALSE; // the default handling ends the process
}

void installGuards()
{
    if (guardsInstalled)
        return;
    guardsInstalled = true;
    previousFilter = SetUnhandledExceptionFilter(restoreModeOnCrash);
    SetConsoleCtrlHandler(restoreModeOnConsoleEnd, TRUE);
}

// In front and full screen: the mode, the keyboard, the pointer, the top.
void enterFront(HWND window)
{
    if (inFront)
        return;
    inFront = true;
    if (!modeChanged.load() && fullScreenMode.dmSize != 0 &&
        ChangeDisplaySettingsW(&fullScreenMode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL)
        modeChanged.store(true);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    installKeyboardHook(window);
    RECT bounds;
    if (GetWindowRect(window, &bounds))
        ClipCursor(&bounds);
    if (cursorShownForDesktop) {
        ShowCursor(FALSE);
        cursorShownForDesktop = false;
    }
}

// Minimized or going: the desktop gets its mode, keys and pointer back.
void leaveFront()
{
    if (!inFront)
        return;
    inFront = false;
    removeKeyboardHook();
    ClipCursor(nullptr);
    restoreDesktopMode();
    if (!cursorShownForDesktop) {
        ShowCursor(TRUE);
        cursorShownForDesktop = true;
    }
}

} // namespace

void displayModeChanged(const DEVMODEW& mode)
{
    fullScreenMode = mode;
    modeChanged.store(true);
    installGuards();
}

void restoreDesktopMode()
{
    if (modeChanged.exchange(false))
        ChangeDisplaySettingsW(nullptr, 0);
}

bool desktopModeChanged()
{
    return modeChanged.load();
}

void keepFullScreen(HWND window)
{
    keptWindow = window;
    inFront = false;
    cursorShownForDesktop = false;
    installGuards();
}

bool watchFullScreenMessage(HWND window, UINT message, WPARAM wParam, LPARAM, LRESULT* result)
{
    if (window == nullptr || window != keptWindow)
        return false;
    switch (message) {
    case minimizeMessage:
        if (!IsIconic(window))
            ShowWindow(window, SW_MINIMIZE);
        *result = 0;
        return true;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (!IsIconic(window))
                PostMessageW(window, minimizeMessage, 0, 0);
        } else if (HIWORD(wParam) == 0 && !IsIconic(window)) {
            enterFront(window);
        }
        return false;
    case WM_ACTIVATEAPP:
        if (wParam == FALSE && !IsIconic(window))
            PostMessageW(window, minimizeMessage, 0, 0);
        return false;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED)
            leaveFront();
        else if (GetForegroundWindow() == window)
            enterFront(window);
        return false;
    case WM_ENDSESSION:
        if (wParam != FALSE) {
            leaveFront();
            restoreDesktopMode();
        }
        return false;
    case WM_DESTROY:
        releaseFullScreen(window);
        return false;
    default:
        return false;
    }
}

void releaseFullScreen(HWND window)
{
    if (window != keptWindow)
        return;
    leaveFront();
    removeKeyboardHook();
    ClipCursor(nullptr);
    restoreDesktopMode();
    keptWindow = nullptr;
}

} // namespace platform::win32
