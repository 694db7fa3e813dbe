// A picture drawn straight into a window that has no GL context yet: the
// splash, on screen while the scene's textures are being made. Through the
// window's own surface where SDL gives it one (X11), through a passing GL
// context where not (Wayland).
#include "platform/sdl/SdlPlatform.h"

#include "platform/draw/Bitmap.h"
#include "platform/sdl/SdlPictureGL.h"

#include <SDL.h>

#include <cstdio>

namespace platform {

bool SdlPlatform::drawPicture(WindowHandle handle, Bitmap& picture, int x, int y, int width, int height)
{
    SDL_Window* window = SDL_GetWindowFromID(static_cast<Uint32>(handle));
    const unsigned pictureWidth = picture.getWidth();
    const unsigned pictureHeight = picture.getHeight();
    if (window == nullptr || pictureWidth == 0 || pictureHeight == 0)
        return false;

    BitmapData pixels;
    const Rect whole{0, 0, static_cast<int>(pictureWidth), static_cast<int>(pictureHeight)};
    if (picture.lockBits(whole, &pixels) != Status::Ok)
        return false;

    // Without this SDL backs the window surface with a GL context of its own,
    // and makes it current again after a resize, under the program's context.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // The bitmap's bytes are blue, green, red, alpha: SDL's ARGB8888 on a
    // little-endian machine. SDL only reads through the pointer.
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint8_t*>(pixels.scan0), static_cast<int>(pixels.width), static_cast<int>(pixels.height), 32,
        pixels.stride, SDL_PIXELFORMAT_ARGB8888);

    bool drawn = false;
    const SDL_Rect target{x, y, width, height};
    if (source != nullptr) {
        SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
        if (SDL_Surface* screen = SDL_GetWindowSurface(window)) {
            SDL_Rect clipped = target;
            drawn = SDL_BlitScaled(source, nullptr, screen, &clipped) == 0 && SDL_UpdateWindowSurface(window) == 0;
        } else {
            drawn = drawPictureThroughGL(window, source, {x, y, width, height});
        }
    }
    if (!drawn)
        std::fprintf(stderr, "zindle: cannot draw the picture: %s\n", SDL_GetError());
    SDL_FreeSurface(source);
    picture.unlockBits(&pixels);
    return drawn;
}

} // namespace platform
