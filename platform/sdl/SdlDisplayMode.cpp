// The display mode: an exact full-screen mode or nothing, given to the
// full-screen window, whose showing switches to it; the desktop's mode comes
// back when the window is minimized or destroyed (SDL does both), when the X
// connection is lost (the X11 keeper), and on a crash (here).
#include "platform/sdl/SdlDisplayMode.h"

#include "platform/posix/Signals.h"
#include "platform/sdl/SdlKeeper.h"
#include "platform/sdl/SdlPlatform.h"

#include <SDL.h>

#include <atomic>
#include <cstdio>

namespace platform {

namespace {

// The crash handler has no other way in than this. It calls into SDL from a
// signal handler, which is not safe in general; it is the last thing the
// process does, and a desktop left at 1024x768 with no cursor is worse than
// a crash inside it.
std::atomic<Uint32> guardedWindow{0};

void leaveFullScreen()
{
    if (SDL_Window* window = SDL_GetWindowFromID(guardedWindow.load())) {
        // Leaving full screen is what makes SDL put the desktop's mode back.
        SDL_SetWindowFullscreen(window, 0);
    }
    SDL_ShowCursor(SDL_ENABLE);
}

} // namespace

void guardFullScreenWindow(WindowHandle window)
{
    guardedWindow = static_cast<Uint32>(window);
    signals::onCrash(leaveFullScreen);
}

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

bool SdlPlatform::useFullScreenMode(WindowHandle handle)
{
    SDL_Window* window = SDL_GetWindowFromID(static_cast<Uint32>(handle));
    if (window == nullptr)
        return false;
    keeper->beforeModeSwitch();
    const SDL_DisplayMode mode{fullScreenMode.format, fullScreenMode.width, fullScreenMode.height,
                               fullScreenMode.refreshRate, nullptr};
    if (SDL_SetWindowDisplayMode(window, &mode) != 0) {
        std::fprintf(stderr, "zindle: cannot use the display mode: %s\n", SDL_GetError());
        return false;
    }
    return true;
}

} // namespace platform
