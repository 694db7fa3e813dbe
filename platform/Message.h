// The frame's window messages: the few the program handles, with the numbers
// and word packing of the desktop system the frame was designed around, so the
// window procedure reads as its table and scripted tests can feed any message.
#pragma once

#include <cstdint>

namespace platform {

using WindowHandle = std::uintptr_t;  // 0: no window
using ContextHandle = std::uintptr_t; // 0: no GL context

struct Message {
    WindowHandle window = 0;
    unsigned message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

constexpr unsigned WM_CREATE = 0x0001;
constexpr unsigned WM_DESTROY = 0x0002;
constexpr unsigned WM_SIZE = 0x0005;     // lParam: width in the low word, height in the high word
constexpr unsigned WM_ACTIVATE = 0x0006; // wParam: state in the low word, minimized flag in the high word
constexpr unsigned WM_CLOSE = 0x0010;
constexpr unsigned WM_ACTIVATEAPP =
    0x001C;                                // wParam: 1 when the program has the foreground back, 0 when another took it
constexpr unsigned WM_QUIT = 0x0012;       // wParam: exit code
constexpr unsigned WM_KEYDOWN = 0x0100;    // wParam: virtual-key code
constexpr unsigned WM_SYSKEYDOWN = 0x0104; // wParam: virtual-key code; lParam bit 29: Alt held
constexpr unsigned WM_PAINT = 0x000F;
constexpr unsigned WM_CHAR = 0x0102;

constexpr unsigned SIZE_RESTORED = 0;
constexpr unsigned SIZE_MINIMIZED = 1;

constexpr unsigned WA_INACTIVE = 0;
constexpr unsigned WA_ACTIVE = 1;
constexpr std::intptr_t KF_ALTDOWN_BIT = std::intptr_t{1} << 29;

constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_F4 = 0x73;
constexpr int VK_F10 = 0x79;
constexpr int VK_MENU = 0x12;

inline std::intptr_t makeLParam(unsigned low, unsigned high)
{
    return static_cast<std::intptr_t>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}
inline std::uintptr_t makeWParam(unsigned low, unsigned high)
{
    return (low & 0xFFFFu) | (static_cast<std::uintptr_t>(high & 0xFFFFu) << 16);
}
inline unsigned lowWord(std::uintptr_t value)
{
    return static_cast<unsigned>(value & 0xFFFFu);
}
inline unsigned highWord(std::uintptr_t value)
{
    return static_cast<unsigned>((value >> 16) & 0xFFFFu);
}

using WindowProcedure = std::intptr_t (*)(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                          std::intptr_t lParam);

} // namespace platform
