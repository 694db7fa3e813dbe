// What the Win32 backend keeps between calls, one part a concern, owned by
// the backend object. Its windows reach it through their user data.
#pragma once

#include "platform/Message.h"
#include "platform/win32/Win32DisplayMode.h"
#include "platform/win32/Win32Keeper.h"

#include <windows.h>

namespace platform::win32 {

// Sent to itself by a window the frame minimizes from inside its procedure:
// minimizing there would re-enter the activation messages.
constexpr UINT minimizeMessage = WM_APP + 0x5A1;

struct BackendState {
    HINSTANCE instance = nullptr;
    // The frame's procedure for the program's class; there is one class.
    WindowProcedure frameProcedure = nullptr;
    // How many of the frame procedure's calls are under way, so that
    // minimizeWindow knows when it is called from inside one.
    int inFrameProcedure = 0;
    DisplayMode displayMode;
    FullScreenKeeper keeper{displayMode};
    // The message last taken, with the time and place Windows stamped on it,
    // so that it is translated and dispatched as it came.
    MSG lastTaken{};
};

} // namespace platform::win32
