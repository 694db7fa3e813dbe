// The Win32 backend's message box: Windows' own, with an OK button.
#include "platform/win32/Win32Platform.h"

#include "platform/win32/Win32Text.h"

#include <windows.h>

namespace platform {

void Win32Platform::messageBox(std::string_view text, std::string_view caption)
{
    MessageBoxW(nullptr, win32::widen(text).c_str(), win32::widen(caption).c_str(), MB_OK);
}

} // namespace platform
