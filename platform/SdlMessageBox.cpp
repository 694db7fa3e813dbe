// Message boxes. SDL's box blocks until it is dismissed; with no display it
// fails at once, and then the line the caller wrote on stderr has to do.
#include "platform/SdlPlatform.h"

#include "platform/SdlPlatformState.h"

#include <SDL.h>

#include <cstdio>
#include <string>

namespace platform {

void SdlPlatform::messageBox(std::string_view text, std::string_view caption)
{
    const std::string message(text);
    const std::string title(caption);
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), message.c_str(), nullptr) != 0)
        std::fprintf(stderr, "zindle: cannot show a message box: %s\n", SDL_GetError());
}

} // namespace platform
