// The display mode and the guards that give the desktop its mode back on a
// crash or the console's end.
// The frame's message names before windows.h, whose macros of the same names
// and values would otherwise stand where they are declared.
#include "platform/win32/Win32Platform.h"

#include "platform/win32/Win32DisplayMode.h"
#include "platform/win32/Win32KeyboardHook.h"
#include "platform/win32/Win32State.h"
#include "platform/win32/Win32Values.h"

namespace platform {

namespace win32 {

namespace {

// The guards of the way out. File-scope because the unhandled-exception
// filter and the console handler are plain functions that Windows calls with
// nothing of the program's: this is their only way to the mode to give back.
struct WayOutGuard {
    std::atomic<DisplayMode*> mode{nullptr};
    LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
    bool installed = false;
} wayOut;

LONG WINAPI restoreModeOnCrash(EXCEPTION_POINTERS* exception)
{
    removeKeyboardHook();
    ClipCursor(nullptr);
    if (DisplayMode* mode = wayOut.mode.load())
        mode->restoreDesktop();
    return wayOut.previousFilter != nullptr ? wayOut.previousFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

BOOL WINAPI restoreModeOnConsoleEnd(DWORD)
{
    if (DisplayMode* mode = wayOut.mode.load())
        mode->restoreDesktop();
    return FALSE; // the default handling ends the process
}

} // namespace

DisplayMode::~DisplayMode()
{
    restoreDesktop();
    DisplayMode* self = this;
    if (!wayOut.mode.compare_exchange_strong(self, nullptr) || !wayOut.installed)
        return;
    SetUnhandledExceptionFilter(wayOut.previousFilter);
    SetConsoleCtrlHandler(restoreModeOnConsoleEnd, FALSE);
    wayOut.previousFilter = nullptr;
    wayOut.installed = false;
}

bool DisplayMode::change(const DEVMODEW& mode)
{
    DEVMODEW wanted = mode;
    if (ChangeDisplaySettingsW(&wanted, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL)
        return false;
    fullScreen = mode;
    modeChanged.store(true);
    guardTheWayOut();
    return true;
}

bool DisplayMode::changeAgain()
{
    if (modeChanged.load())
        return true;
    if (fullScreen.dmSize == 0 || ChangeDisplaySettingsW(&fullScreen, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL)
        return false;
    modeChanged.store(true);
    return true;
}

void DisplayMode::restoreDesktop()
{
    if (modeChanged.exchange(false))
        ChangeDisplaySettingsW(nullptr, 0);
}

void DisplayMode::guardTheWayOut()
{
    wayOut.mode.store(this);
    if (wayOut.installed)
        return;
    wayOut.installed = true;
    wayOut.previousFilter = SetUnhandledExceptionFilter(restoreModeOnCrash);
    SetConsoleCtrlHandler(restoreModeOnConsoleEnd, TRUE);
}

} // namespace win32

bool Win32Platform::changeDisplayMode(int width, int height, int bitsPerPixel)
{
    return state->displayMode.change(win32::displayModeRequest(width, height, bitsPerPixel));
}

} // namespace platform
