// Keeps the desktop's own keys from the desktop while the toy is full screen
// and in front: the Windows keys, the menu key, Alt+Tab, Alt+Esc and Ctrl+Esc
// would take a child out of the toy into windows nobody watches. Those keys
// go to the toy's window instead, as it would have got them had the desktop
// not taken them; every other key passes on. Ctrl+Alt+Del never reaches a
// hook, so it always works.
#pragma once

#include <windows.h>

namespace platform::win32 {

struct KeyJudgement {
    bool swallow = false; // kept from the desktop and every later hook
    UINT deliver = 0;     // the window message the window gets instead, 0 for none
    LPARAM keyData = 0;   // its lParam: repeat count, scan code, extended and Alt bits
};

// What the hook does with one key event: the key, whether it went down, its
// scan code and extended flag, and which modifiers are held.
KeyJudgement judgeKey(DWORD virtualKey, bool down, DWORD scanCode, bool extended, bool altDown, bool controlDown);

// Installs the hook for the window, or moves it to that window; true when it
// is in place.
bool installKeyboardHook(HWND target);
void removeKeyboardHook();
bool keyboardHookInstalled();

} // namespace platform::win32
