// SDL's events turned into the frame's window messages: size, activation,
// close and key-downs (auto-repeats included). Everything else SDL reports is
// dropped here; no decision about what a key means is made in this file.
#include "platform/sdl/SdlEvents.h"

#include "platform/sdl/SdlKeys.h"
#include "platform/sdl/SdlWindows.h"
#include "platform/sdl/SdlX11.h"

#include <SDL.h>

namespace platform {

namespace {

// What a full-screen window does when the keyboard goes to another window.
// On X11 the toy asks to stay above every other window while full screen, so
// a window that takes the keyboard anyway (one that grabbed the focus, or a
// window manager that switched on Alt+Tab past the toy's grab, as mutter does
// for Xwayland clients) would get the child's keys unseen, under the toy. The
// toy minimizes itself instead: what the child sees is then what the keys
// reach. Restored, it is full screen again and takes the keyboard back.
//
// Wayland compositors raise the window that gets the keyboard over a
// full-screen one themselves (mutter and weston were seen to), and GNOME
// Shell takes the keyboard away while it asks the parent whether the toy may
// keep it: minimizing there would hide the toy behind its own question.
void stepAsideAfterFocusLoss(WindowHandle handle)
{
    if (!onX11Driver())
        return;
    if (SDL_Window* window = SDL_GetWindowFromID(static_cast<Uint32>(handle)))
        SDL_MinimizeWindow(window);
}

void windowEvent(SdlWindows& windows, const SDL_WindowEvent& event)
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
        window->restackingUntil = 0;
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
        if (window->fullScreen && !window->minimized && SDL_GetTicks64() >= window->restackingUntil)
            stepAsideAfterFocusLoss(handle);
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

// Some window managers stack a panel over a full-screen window even while it
// has the focus, and a panel may raise itself later. Looking twice a second
// costs one round trip to the X server when nothing covers the window.
void keepFullScreenOnTop(SdlWindows& windows)
{
    constexpr std::uint64_t interval = 500;
    // Time for the window manager to show the window again and give it back
    // the focus, generous for a loaded machine.
    constexpr std::uint64_t restackingGrace = 3000;
    const std::uint64_t now = SDL_GetTicks64();
    for (SdlWindowRecord& window : windows.all()) {
        if (!window.fullScreen || window.minimized || now < window.nextStackingCheck)
            continue;
        window.nextStackingCheck = now + interval;
        SDL_Window* sdlWindow = SDL_GetWindowFromID(static_cast<Uint32>(window.handle));
        if (sdlWindow == nullptr)
            continue;
        const bool focused = (SDL_GetWindowFlags(sdlWindow) & SDL_WINDOW_INPUT_FOCUS) != 0;
        if (focused && keepOnTop(window.handle)) {
            window.restackingUntil = now + restackingGrace;
        } else if (!focused && window.restackingUntil != 0 && now >= window.restackingUntil) {
            // The focus never came back after the window put itself on top:
            // another window has the keyboard, so the toy steps aside as it
            // does for any other focus loss.
            window.restackingUntil = 0;
            stepAsideAfterFocusLoss(window.handle);
        }
    }
}

} // namespace

void pumpSdlEvents(SdlWindows& windows)
{
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        switch (event.type) {
        case SDL_QUIT:
            if (SdlWindowRecord* window = windows.mainWindow())
                windows.post(window->handle, WM_CLOSE);
            break;
        case SDL_WINDOWEVENT:
            windowEvent(windows, event.window);
            break;
        case SDL_KEYDOWN:
            keyEvent(windows, event.key);
            break;
        default:
            break;
        }
    }
    keepFullScreenOnTop(windows);
}

} // namespace platform
