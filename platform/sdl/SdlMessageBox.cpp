// Message boxes. The toy's own box shows on any X display; where there is no
// X display to open but SDL runs on another driver (Wayland), SDL's box has
// to do. With no display at all the box fails at once, and then the line the
// caller wrote on stderr has to do.
#include "platform/sdl/SdlPlatform.h"

#include "platform/sdl/SdlKeeper.h"
#include "platform/x11/X11MessageBox.h"

#include <SDL.h>

#include <cstdio>
#include <string>

namespace platform {

void SdlPlatform::messageBox(std::string_view text, std::string_view caption)
{
    std::string error;
    if (showX11MessageBox(text, caption, error) != BoxOutcome::noDisplay)
        return;
    if (videoStarted && keeper->sdlMessageBoxes()) {
        const std::string message(text);
        const std::string title(caption);
        if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), message.c_str(), nullptr) == 0)
            return;
        error = SDL_GetError();
    }
    std::fprintf(stderr, "zindle: cannot show a message box: %s\n", error.c_str());
}

} // namespace platform
