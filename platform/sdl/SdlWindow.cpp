// The window: a hidden OpenGL window with its icon, full screen or in a frame,
// showing, the foreground and focus, its client area, minimizing and its end,
// and the size and activation news that the desktop system sends during
// creation and showing delivered at once, as it does.
#include "platform/sdl/SdlPlatform.h"

#include "platform/sdl/SdlDisplayMode.h"
#include "platform/sdl/SdlGLAttributes.h"
#include "platform/sdl/SdlKeeper.h"
#include "platform/sdl/SdlWindows.h"
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

} // namespace

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
    const bool coverScreen = request.fullScreen && desktopIsInMode() && keeper->coversScreen();
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (coverScreen)
        flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP;
    else
        flags |= request.fullScreen ? SDL_WINDOW_FULLSCREEN : SDL_WINDOW_RESIZABLE;
    const std::string title(request.title);
    keeper->windowComing();
    SDL_Window* window = SDL_CreateWindow(title.c_str(), request.client.left, request.client.top, width, height, flags);
    keeper->windowMade(window != nullptr ? SDL_GetWindowID(window) : 0);
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
    const WindowHandle handle = SDL_GetWindowID(window);
    if (coverScreen && !keeper->markFullScreen(handle)) {
        // The window system could not be asked after all: let SDL switch to
        // full screen.
        SDL_SetWindowBordered(window, SDL_TRUE);
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN);
    }
    if (request.fullScreen && fullScreenMode.chosen && !coverScreen && !useFullScreenMode(handle)) {
        SDL_DestroyWindow(window);
        return 0;
    }
    setIcon(window);

    if (request.fullScreen) {
        keepKeyboardAndPointer(handle);
        guardFullScreenWindow(handle);
        keeper->watch(handle);
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
    if (record->fullScreen) {
        guardFullScreenWindow(0);
        keeper->forget(handle);
    }
    windows->remove(handle);

    // Destroying a full-screen window gives the desktop its own mode back.
    if (SDL_Window* window = SDL_GetWindowFromID(static_cast<Uint32>(handle)))
        SDL_DestroyWindow(window);
    SDL_ShowCursor(SDL_ENABLE);
}

// Only asks: the window manager minimizes the window later and the news comes
// as events, so this is safe inside the window's own procedure.
void SdlPlatform::minimizeWindow(WindowHandle handle)
{
    if (SDL_Window* window = SDL_GetWindowFromID(static_cast<Uint32>(handle)))
        SDL_MinimizeWindow(window);
}

} // namespace platform
