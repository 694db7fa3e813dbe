// Reads a window of another program the way the whole-program tests need it:
// given a caption, prints the window's client area in screen coordinates, its
// styles, and the text of each child window (a message box's text is one).
// Exits 1 when no such window is there. With "minimize" or "restore" after
// the caption it does that to the window instead, as a user would; "close"
// posts it WM_CLOSE, as the taskbar or a program ending it politely does.
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

BOOL CALLBACK printChild(HWND child, LPARAM)
{
    wchar_t text[512];
    if (GetWindowTextW(child, text, 512) > 0) {
        char utf8[2048];
        WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
        std::printf("text %s\n", utf8);
    }
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    HWND window = FindWindowW(nullptr, argv[1]);
    if (window == nullptr)
        return 1;
    if (argc > 2 && std::wcscmp(argv[2], L"minimize") == 0)
        return ShowWindow(window, SW_MINIMIZE) >= 0 ? 0 : 1;
    if (argc > 2 && std::wcscmp(argv[2], L"close") == 0)
        return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    if (argc > 2 && std::wcscmp(argv[2], L"restore") == 0) {
        ShowWindow(window, SW_RESTORE);
        SetForegroundWindow(window);
        return 0;
    }
    RECT client{};
    GetClientRect(window, &client);
    POINT corner{0, 0};
    ClientToScreen(window, &corner);
    std::printf("client %ld %ld %ld %ld\n", corner.x, corner.y, client.right, client.bottom);
    std::printf("style 0x%08lX 0x%08lX\n", static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongW(window, GWL_EXSTYLE)));
    EnumChildWindows(window, printChild, 0);
    return 0;
}
