// The window procedure Windows calls for the program's class: the full-screen
// keeper looks at each message first, then the frame's own procedure gets it.
#pragma once

#include "platform/Message.h"

#include <windows.h>

namespace platform::win32 {

// The frame's procedure for the program's class; there is one class.
void setFrameProcedure(WindowProcedure procedure);
LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace platform::win32
