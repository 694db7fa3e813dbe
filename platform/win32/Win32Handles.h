// The frame's plain handles and the Windows handles they carry.
#pragma once

#include "platform/Message.h"

#include <windows.h>

namespace platform::win32 {

inline HWND toWindow(WindowHandle window)
{
    return reinterpret_cast<HWND>(window);
}

inline WindowHandle toHandle(HWND window)
{
    return reinterpret_cast<WindowHandle>(window);
}

} // namespace platform::win32
