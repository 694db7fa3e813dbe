// The display mode and the one window: an exact full-screen mode or nothing,
// a hidden OpenGL window with its icon, the keyboard and the pointer kept in
// the toy while it is full screen, and the size and activation news that the
// desktop system sends during creation and showing delivered at once, as it does.
#include "platform/sdl/SdlPlatform.h"

#include "platform/sdl/SdlCrashGuard.h"
#include "platform/sdl/SdlGLAttributes.h"
#include "platform/sdl/SdlWindows.h"
#include "platform/sdl/SdlX11.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Window.h"
#include "res/WindowIcon.h"

#include <SDL.h>

#include <cstddef>
#include <cstdio>
#include <string>

namespace platform {

namespace {

void setIcon(SDL_Window* window)
{
    SDL_Surface* icon =
        SDL_CreateRGBSurfaceWithFormat(0, res::windowIconSize, res::windowIconSize, 32, SDL_PIXELFORMAT_ARGB8888);
    if (icon == nullptr)
        return;
    SDL_LockSurface(icon);
    for (int y = 0; y < res::windowIconSize; ++y) {
        auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(icon->pixels) + std::ptrdiff_t{y} * icon->pitch);
        for (int x = 0; x < res::windowIconSize; ++x) {
            const std::size_t colour = res::windowIconKeys.find(res::windowIconRows[y][static_cast<std::size_t>(x)]);
            row[x] = colour < 16 ? res::windowIconPalette[colour] : 0;
        }
    }
    SDL_UnlockSurface(icon);
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}

// A child at the keyboard must not leave the toy by accident: while full
// screen the window takes the whole keyboard, so Super, Menu, Print and
// Alt+Tab arrive here as plain key-downs instead of reaching the desktop, and
// the pointer stays inside the window, so a click reaches no panel, no other
// window and no other monitor. SDL holds both while the window has the focus
// and takes them again when it gets it back.
void keepKeyboardAndPointer(SDL_Window* window)
{
    SDL_SetHint(SDL_HINT_GRAB_KEYBOARD, "1");
    SDL_SetHint(SDL_HINT_ALLOW_ALT_TAB_WHILE_GRABBED, "0");
    SDL_SetWindowKeyboardGrab(window, SDL_TRUE);
    SDL_SetWindowMouseGrab(window, SDL_TRUE);
}

} // namespace

// Whether the desktop already shows the chosen mode, so that going full screen
// needs no mode switch.
bool SdlPlatform::desktopIsInMode() const
{
    SDL_DisplayMode desktop;
    return fullScreenMode.chosen && SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w == fullScreenMode.width &&
           desktop.h == fullScreenMode.height &&
           SDL_BYTESPERPIXEL(desktop.format) == SDL_BYTESPERPIXEL(fullScreenMode.format);
}

bool SdlPlatform::changeDisplayMode(int width, int height, int bitsPerPixel)
{
    fullScreenMode = {};
    if (!videoStarted)
        return false;
    // SDL would accept any request and quietly pick the nearest mode, so look
    // for the exact one. Bits per pixel are judged by bytes: X servers call
    // their 32-bit modes 24 bits deep.
    const int bytesPerPixel = (bitsPerPixel + 7) / 8;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0)
            continue;
        if (mode.w == width && mode.h == height && static_cast<int>(SDL_BYTESPERPIXEL(mode.format)) == bytesPerPixel) {
            // SDL lists the highest refresh rate first.
            fullScreenMode = {true, mode.format, mode.w, mode.h, mode.refresh_rate};
            return true;
        }
    }
    return false;
}

WindowHandle SdlPlatform::createWindow(const WindowRequest& request)
{
    if (!videoStarted)
        return 0;
    if (!windows->hasClass(request.className)) {
        std::fprintf(stderr, "zindle: no window class named \"%.*s\"\n", static_cast<int>(request.className.size()),
                     request.className.data());
        return 0;
    }

    setFrameGLAttributes();
    const int width = request.client.right - request.client.left;
    const int height = request.client.bottom - request.client.top;
    // Full screen without a mode switch: a borderless window over the whole
    // screen that the window manager is asked to keep full screen and on top.
    const bool x11 = onX11Driver();
    const bool coverScreen = request.fullScreen && desktopIsInMode() && x11;
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (coverScreen)
        flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP;
    else
        flags |= request.fullScreen ? SDL_WINDOW_FULLSCREEN : SDL_WINDOW_RESIZABLE;
    if (x11)
        x11::preferTrueColorVisual();
    const std::string title(request.title);
    SDL_Window* window = nullptr;
    {
        x11connection::ErrorTrap trap;
        window = SDL_CreateWindow(title.c_str(), request.client.left, request.client.top, width, height, flags);
        // Errors the GL probing caused arrive by now, while they are trapped.
        if (const auto target = x11Target(window != nullptr ? SDL_GetWindowID(window) : 0))
            x11connection::waitForServer(target->display);
    }
    glError.clear();
    if (window == nullptr) {
        // Without OpenGL (no GLX on the server, no visual with what the frame
        // asks for) SDL cannot make an OpenGL window, but a plain one still
        // shows the splash; the context then fails, and the user hears that
        // OpenGL is missing, not that the window is.
        glError = SDL_GetError();
        window = SDL_CreateWindow(title.c_str(), request.client.left, request.client.top, width, height,
                                  flags & ~static_cast<Uint32>(SDL_WINDOW_OPENGL));
    }
    if (window == nullptr) {
        std::fprintf(stderr, "zindle: cannot create the window: %s\n", SDL_GetError());
        return 0;
    }
    // SDL's own switch to full screen on X11 waits up to 100 ms after showing
    // the window for a window manager to move or resize it; a window that
    // already covers the screen is never moved, so every start would pay the
    // whole wait. Asking before the first showing does the same job without it.
    if (coverScreen) {
        if (const auto target = x11Target(SDL_GetWindowID(window))) {
            x11::markFullScreen(*target);
        } else {
            // Not an X11 window after all: let SDL switch to full screen.
            SDL_SetWindowBordered(window, SDL_TRUE);
            SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN);
        }
    }
    if (request.fullScreen && fullScreenMode.chosen && !coverScreen) {
        if (x11)
            x11connection::rememberDesktopMode();
        const SDL_DisplayMode mode{fullScreenMode.format, fullScreenMode.width, fullScreenMode.height,
                                   fullScreenMode.refreshRate, nullptr};
        if (SDL_SetWindowDisplayMode(window, &mode) != 0) {
            std::fprintf(stderr, "zindle: cannot use the display mode: %s\n", SDL_GetError());
            SDL_DestroyWindow(window);
            return 0;
        }
    }
    setIcon(window);

    const WindowHandle handle = SDL_GetWindowID(window);
    if (request.fullScreen) {
        keepKeyboardAndPointer(window);
        guardFullScreenWindow(handle);
    }
    windows->add(handle, request.fullScreen);

    int actualWidth = 0;
    int actualHeight = 0;
    SDL_GetWindowSize(window, &actualWidth, &actualHeight);
    windows->send(handle, WM_CREATE);
    windows->reportSize(handle, static_cast<unsigned>(actualWidth), static_cast<unsigned>(actualHeight), true);
    return handle;
}

void SdlPlatform::showWindow(WindowHandle handle)
{
    SDL_Window* window = SDL_GetWindowFromID(static_cast<Uint32>(handle));
    SdlWindowRecord* record = windows->find(handle);
    if (window == nullptr || record == nullptr)
        return;
    // Showing a full-screen window is what switches the display mode.
    SDL_ShowWindow(window);

    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window, &width, &height);
    record->minimized = (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) != 0;
    windows->reportSize(handle, static_cast<unsigned>(width), static_cast<unsigned>(height), true);
    windows->reportActivation(handle, WA_ACTIVE, true);
}

void SdlPlatform::setForegroundWindow(WindowHandle handle)
{
    if (SDL_Window* window = SDL_GetWindowFromID(static_cast<Uint32>(handle)))
        SDL_RaiseWindow(window);
}

void SdlPlatform::setFocus(WindowHandle handle)
{
    // SDL takes the keyboard once it believes in the focus, and on X11 it holds
    // every focus-in back for 200 ms before believing it. Waiting for that here
    // would hold the first frame back by as much without taking the keyboard
    // any sooner: the scene is built in far less, and from then on the message
    // loop reads events on every pass, so the keyboard is taken just as early.
    if (SDL_Window* window = SDL_GetWindowFromID(static_cast<Uint32>(handle)))
        SDL_SetWindowInputFocus(window);
}

WindowRect SdlPlatform::clientRect(WindowHandle handle)
{
    WindowRect rect;
    if (SDL_Window* window = SDL_GetWindowFromID(static_cast<Uint32>(handle)))
        SDL_GetWindowSize(window, &rect.right, &rect.bottom);
    return rect;
}

void SdlPlatform::destroyWindow(WindowHandle handle)
{
    if (windows->find(handle) == nullptr)
        return;
    windows->send(handle, WM_DESTROY);
    const SdlWindowRecord* record = windows->find(handle);
    if (record == nullptr)
        return;
    if (record->fullScreen)
        guardFullScreenWindow(0);
    windows->remove(handle);

    // Destroying a full-screen window gives the desktop its own mode back.
    if (SDL_Window* window = SDL_GetWindowFromID(static_cast<Uint32>(handle)))
        SDL_DestroyWindow(window);
    SDL_ShowCursor(SDL_ENABLE);
}

void SdlPlatform::minimizeWindow(WindowHandle handle)
{
    if (SDL_Window* window = SDL_GetWindowFromID(static_cast<Uint32>(handle)))
        SDL_MinimizeWindow(window);
}

// SDL takes the mode, the keyboard and the pointer back by itself when the
// full-screen window is shown and focused again, and gives them up when it is
// minimized.
void SdlPlatform::holdFullScreen(WindowHandle) {}

void SdlPlatform::releaseFullScreen(WindowHandle) {}

} // namespace platform
