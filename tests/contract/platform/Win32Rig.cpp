// The platform contract on the Win32 backend under Wine: keys pressed with
// SendInput, the window closed through its system menu's command, and its
// pixels read back with GetPixel, as other programs on the desktop would.
// The platform's message constants before windows.h, whose macros of the
// same names and values would otherwise stand where they are declared.
#include "platform/win32/Win32Platform.h"
#include "tests/contract/platform/PlatformContract.h"

#include <windows.h>

namespace contract {
namespace {

using platform::WindowHandle;

HWND hwnd(WindowHandle window)
{
    return reinterpret_cast<HWND>(window);
}

class Win32Rig : public PlatformRig {
public:
    platform::Platform& platform() override { return win32; }

    std::optional<std::string> title(WindowHandle window) override
    {
        wchar_t text[256] = {};
        const int length = GetWindowTextW(hwnd(window), text, 256);
        char utf8[1024] = {};
        WideCharToMultiByte(CP_UTF8, 0, text, length, utf8, sizeof utf8 - 1, nullptr, nullptr);
        return std::string(utf8);
    }

    std::optional<bool> fullScreen(WindowHandle window) override
    {
        const auto style = static_cast<DWORD>(GetWindowLongW(hwnd(window), GWL_STYLE));
        return (style & WS_POPUP) != 0 && (style & WS_CAPTION) != WS_CAPTION;
    }

    std::string pressKey(WindowHandle window, int virtualKey) override
    {
        SetForegroundWindow(hwnd(window));
        INPUT inputs[2] = {};
        for (INPUT& input : inputs) {
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = static_cast<WORD>(virtualKey);
        }
        inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
        return SendInput(2, inputs, sizeof(INPUT)) == 2 ? std::string() : "SendInput refused the key";
    }

    std::string closeFromOutside(WindowHandle window) override
    {
        return PostMessageW(hwnd(window), WM_SYSCOMMAND, SC_CLOSE, 0) ? std::string() : "the close was not posted";
    }

    std::optional<std::uint32_t> screenPixel(WindowHandle window, int x, int y) override
    {
        HDC dc = GetDC(hwnd(window));
        if (dc == nullptr)
            return std::nullopt;
        const COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(hwnd(window), dc);
        if (colour == CLR_INVALID)
            return std::nullopt;
        return (std::uint32_t{GetRValue(colour)} << 16) | (std::uint32_t{GetGValue(colour)} << 8) | GetBValue(colour);
    }

private:
    platform::Win32Platform win32{GetModuleHandleW(nullptr)};
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Win32, PlatformContract,
                         ::testing::Values(RigMaker{"Win32", [] { return std::make_unique<Win32Rig>(); }}), rigName);

} // namespace contract
