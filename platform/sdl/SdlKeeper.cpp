// Keeping the full-screen window's hold on the machine: the keeper for the
// driver SDL runs on, and the hold and release the frame asks for. SDL itself
// switches the display mode when the full-screen window shows and gives the
// desktop's back when it is minimized, and holds the keyboard and the pointer
// for a window that asks while it has the focus, letting go when it loses it.
#include "platform/sdl/SdlKeeper.h"

#include "platform/sdl/SdlPlatform.h"
#include "platform/sdl/SdlWindows.h"
#include "platform/sdl/SdlX11Keeper.h"

#include <SDL.h>

namespace platform {

std::unique_ptr<SdlKeeper> SdlKeeper::forDriver(std::string_view driver, SdlWindows& windows)
{
    if (driver == "x11")
        return makeX11Keeper(windows);
    return none();
}

std::unique_ptr<SdlKeeper> SdlKeeper::none()
{
    // The interface's own operations keep nothing.
    return std::make_unique<SdlKeeper>();
}

// A child at the keyboard must not leave the toy by accident: while full
// screen the window takes the whole keyboard, so Super, Menu, Print and
// Alt+Tab arrive here as plain key-downs instead of reaching the desktop, and
// the pointer stays inside the window, so a click reaches no panel, no other
// window and no other monitor. Asking again while SDL holds them changes
// nothing.
void SdlPlatform::keepKeyboardAndPointer(WindowHandle handle)
{
    SDL_Window* window = SDL_GetWindowFromID(static_cast<Uint32>(handle));
    if (window == nullptr)
        return;
    SDL_SetHint(SDL_HINT_GRAB_KEYBOARD, "1");
    SDL_SetHint(SDL_HINT_ALLOW_ALT_TAB_WHILE_GRABBED, "0");
    SDL_SetWindowKeyboardGrab(window, SDL_TRUE);
    SDL_SetWindowMouseGrab(window, SDL_TRUE);
}

void SdlPlatform::holdFullScreen(WindowHandle handle)
{
    const SdlWindowRecord* record = windows->find(handle);
    if (record != nullptr && record->fullScreen)
        keepKeyboardAndPointer(handle);
}

// Minimized, the window has neither the focus nor a mode of its own: SDL has
// given both back already, and the keeper looks at the stacking of shown
// windows only.
void SdlPlatform::releaseFullScreen(WindowHandle) {}

} // namespace platform
