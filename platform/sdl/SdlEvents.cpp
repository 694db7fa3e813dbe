// SDL's events turned into the frame's window messages: size, activation,
// close and key-downs (auto-repeats included), and the focus news handed to
// the keeper, which tells the frame when another program took the foreground.
// Everything else SDL reports is dropped here; no decision about what a key
// means, or about what a lost foreground means, is made in this file.
#include "platform/sdl/SdlEvents.h"

#include "platform/sdl/SdlKeeper.h"
#include "platform/sdl/SdlKeys.h"
#include "platform/sdl/SdlWindows.h"

#include <SDL.h>

namespace platform {

namespace {

void windowEvent(SdlWindows& windows, SdlKeeper& keeper, const SDL_WindowEvent& event)
{
    SdlWindowRecord* window = windows.find(event.windowID);
    if (window == nullptr)
        return;
    const WindowHandle handle = window->handle;

    switch (event.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        if (!window->minimized)
            windows.reportSize(handle, static_cast<unsigned>(event.data1), static_cast<unsigned>(event.data2), false);
        break;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_RESTORED:
        if (window->minimized) {
            window->minimized = false;
            int width = 0;
            int height = 0;
            SDL_GetWindowSize(SDL_GetWindowFromID(event.windowID), &width, &height);
            windows.reportSize(handle, static_cast<unsigned>(width), static_cast<unsigned>(height), false);
        }
        windows.reportActivation(handle, WA_ACTIVE, false);
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        keeper.focusGained(handle);
        windows.reportActivation(handle, WA_ACTIVE, false);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_HIDDEN:
        // A minimized window has a client area of 0 by 0, as the frame expects.
        window->minimized = true;
        windows.reportActivation(handle, WA_INACTIVE, false);
        windows.reportSize(handle, 0, 0, false);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        windows.reportActivation(handle, WA_INACTIVE, false);
        keeper.focusLost(handle);
        break;
    case SDL_WINDOWEVENT_CLOSE:
        windows.post(handle, WM_CLOSE);
        break;
    default:
        break;
    }
}

void keyEvent(SdlWindows& windows, const SDL_KeyboardEvent& event)
{
    SdlWindowRecord* window = windows.find(event.windowID);
    if (window == nullptr)
        window = windows.mainWindow();
    if (window == nullptr)
        return;

    const unsigned modifiers = event.keysym.mod;
    const int virtualKey = translateKey(event.keysym.sym, event.keysym.scancode, modifiers);
    if (virtualKey == 0)
        return;
    // lParam as the desktop system packs it: a repeat count of 1, bit 29 when
    // Alt is down, bit 30 when the key was down already (an auto-repeat).
    std::intptr_t lParam = 1;
    if (altDown(virtualKey, modifiers))
        lParam |= KF_ALTDOWN_BIT;
    if (event.repeat != 0)
        lParam |= std::intptr_t{1} << 30;
    const unsigned message = isSystemKey(virtualKey, modifiers) ? WM_SYSKEYDOWN : WM_KEYDOWN;
    windows.post(window->handle, message, static_cast<std::uintptr_t>(virtualKey), lParam);
}

} // namespace

void pumpSdlEvents(SdlWindows& windows, SdlKeeper& keeper)
{
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        switch (event.type) {
        case SDL_QUIT:
            if (SdlWindowRecord* window = windows.mainWindow())
                windows.post(window->handle, WM_CLOSE);
            break;
        case SDL_WINDOWEVENT:
            windowEvent(windows, keeper, event.window);
            break;
        case SDL_KEYDOWN:
            keyEvent(windows, event.key);
            break;
        default:
            break;
        }
    }
    keeper.keepOnTop();
}

} // namespace platform
