// The window procedure Windows calls for the program's class: the backend's
// own mechanics look at each message first, then the frame's procedure gets
// it, with the foreground news of the full-screen window beside it.
#pragma once

#include "platform/Message.h"

#include <windows.h>

namespace platform::win32 {

// The window's backend comes in CREATESTRUCT's lpCreateParams and is kept in
// the window's user data.
LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace platform::win32
