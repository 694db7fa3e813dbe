#include "platform/win32/Win32KeyboardHook.h"

#include <atomic>

namespace platform::win32 {

namespace {

// The hook's state. File-scope because Windows calls a low-level keyboard
// hook with the key alone: there is no way to hand it anything of the
// backend's. There is one such hook a process.
struct HookState {
    // Atomic: the crash guard takes the hook away from whichever thread failed.
    std::atomic<HHOOK> hook{nullptr};
    std::atomic<HWND> target{nullptr};
    // The modifiers as the hook saw them go down and up: the key state
    // functions lag behind inside a low-level hook.
    bool altHeld = false;
    bool controlHeld = false;
} keys;

bool isAlt(DWORD key)
{
    return key == VK_MENU || key == VK_LMENU || key == VK_RMENU;
}

bool isControl(DWORD key)
{
    return key == VK_CONTROL || key == VK_LCONTROL || key == VK_RCONTROL;
}

LRESULT CALLBACK keyboardHook(int code, WPARAM event, LPARAM data)
{
    if (code == HC_ACTION) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        const bool down = event == WM_KEYDOWN || event == WM_SYSKEYDOWN;
        if (isAlt(key->vkCode))
            keys.altHeld = down;
        if (isControl(key->vkCode))
            keys.controlHeld = down;
        const bool altDown = keys.altHeld || (key->flags & LLKHF_ALTDOWN) != 0;
        const KeyJudgement judgement =
            judgeKey(key->vkCode, down, key->scanCode, (key->flags & LLKHF_EXTENDED) != 0, altDown, keys.controlHeld);
        if (HWND target = keys.target.load(); judgement.deliver != 0 && target != nullptr)
            PostMessageW(target, judgement.deliver, key->vkCode, judgement.keyData);
        if (judgement.swallow)
            return 1;
    }
    return CallNextHookEx(nullptr, code, event, data);
}

} // namespace

KeyJudgement judgeKey(DWORD virtualKey, bool down, DWORD scanCode, bool extended, bool altDown, bool controlDown)
{
    KeyJudgement judgement;
    const bool desktopKey = virtualKey == VK_LWIN || virtualKey == VK_RWIN || virtualKey == VK_APPS;
    const bool switchKey = (virtualKey == VK_TAB || virtualKey == VK_ESCAPE) && altDown;
    const bool startMenuKey = virtualKey == VK_ESCAPE && controlDown && !altDown;
    judgement.swallow = desktopKey || switchKey || startMenuKey;
    if (judgement.swallow && down) {
        judgement.deliver = altDown ? WM_SYSKEYDOWN : WM_KEYDOWN;
        judgement.keyData = static_cast<LPARAM>(1u | ((scanCode & 0xFFu) << 16) | (extended ? 1u << 24 : 0u) |
                                                (altDown ? 1u << 29 : 0u));
    }
    return judgement;
}

bool installKeyboardHook(HWND target)
{
    keys.target.store(target);
    if (keys.hook.load() != nullptr)
        return true;
    keys.altHeld = (GetAsyncKeyState(VK_MENU) & 0x8000) != 0;
    keys.controlHeld = (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
    keys.hook.store(SetWindowsHookExW(WH_KEYBOARD_LL, keyboardHook, GetModuleHandleW(nullptr), 0));
    return keys.hook.load() != nullptr;
}

void removeKeyboardHook()
{
    if (HHOOK installed = keys.hook.exchange(nullptr); installed != nullptr)
        UnhookWindowsHookEx(installed);
    keys.target.store(nullptr);
}

bool keyboardHookInstalled()
{
    return keys.hook.load() != nullptr;
}

} // namespace platform::win32
