// The crash handler's undo on SDL. It calls into SDL from a signal handler,
// which is not safe in general; it is the last thing the process does, and a
// desktop left at 1024x768 with no cursor is worse than a crash inside it.
#include "platform/sdl/SdlCrashGuard.h"

#include "platform/posix/Signals.h"

#include <SDL.h>

#include <atomic>

namespace platform {

namespace {

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

} // namespace platform
