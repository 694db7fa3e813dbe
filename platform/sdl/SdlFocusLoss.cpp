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
#include "platform/sdl/SdlFocusLoss.h"

#include "platform/sdl/SdlX11.h"

#include <SDL.h>

namespace platform {

void stepAsideAfterFocusLoss(WindowHandle handle)
{
    if (!onX11Driver())
        return;
    if (SDL_Window* window = SDL_GetWindowFromID(static_cast<Uint32>(handle)))
        SDL_MinimizeWindow(window);
}

} // namespace platform
