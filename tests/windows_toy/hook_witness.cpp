// Stands in for the desktop in the keyboard hook's tests: its own low-level
// keyboard hook, installed before the toy starts, sees only the keys the
// toy's hook passes on. Logs each key-down's code on stdout, flushed, and
// ends after the given number of seconds (default 120). Under Wine keys reach
// hooks only while a Wine window has the X focus, so it shows a small window
// of its own, "Desktop witness", for the test to focus when the toy is gone.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

LRESULT CALLBACK witness(int code, WPARAM event, LPARAM data)
{
    if (code == HC_ACTION && (event == WM_KEYDOWN || event == WM_SYSKEYDOWN)) {
        std::printf("desktop 0x%lX\n", reinterpret_cast<const KBDLLHOOKSTRUCT*>(data)->vkCode);
        std::fflush(stdout);
    }
    return CallNextHookEx(nullptr, code, event, data);
}

} // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 120;
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, witness, GetModuleHandleW(nullptr), 0);
    if (hook == nullptr) {
        std::printf("no hook: %lu\n", GetLastError());
        return 1;
    }
    HWND window = CreateWindowExW(0, L"STATIC", L"Desktop witness", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) {
        std::printf("no window: %lu\n", GetLastError());
        return 1;
    }
    std::printf("watching\n");
    std::fflush(stdout);
    SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000u, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER)
            break;
        DispatchMessageW(&msg);
    }
    UnhookWindowsHookEx(hook);
    return 0;
}
