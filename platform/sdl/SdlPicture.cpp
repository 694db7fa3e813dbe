// A picture drawn straight into a window that has no GL context yet: the
// splash, on screen while the scene's textures are being made. Through the
// window's own surface where SDL gives it one (X11), through a passing GL
// context where not (Wayland).
#include "platform/sdl/SdlPlatform.h"

#include "platform/draw/Bitmap.h"

#include <GL/gl.h>
#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace platform {

namespace {

// Where a window has no surface of its own to draw into, as on Wayland, where
// SDL gives a GL window no framebuffer: the picture goes on screen through a
// GL context made for it alone, which is gone again before the program makes
// its own. The picture stays on screen until the program's first swap,
// because the compositor keeps showing the last buffer it got. False, with
// SDL's error set, if nothing could be drawn.
bool drawPictureThroughGL(SDL_Window* window, SDL_Surface* picture, const Rect& target)
{
    int windowWidth = 0;
    int windowHeight = 0;
    int drawableWidth = 0;
    int drawableHeight = 0;
    SDL_GetWindowSize(window, &windowWidth, &windowHeight);
    SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
    if (windowWidth <= 0 || windowHeight <= 0 || drawableWidth <= 0 || drawableHeight <= 0) {
        SDL_SetError("the window has no size yet");
        return false;
    }
    // Window coordinates to pixels, for windows on scaled outputs.
    const auto across = [&](int x) { return static_cast<int>(std::int64_t{x} * drawableWidth / windowWidth); };
    const auto down = [&](int y) { return static_cast<int>(std::int64_t{y} * drawableHeight / windowHeight); };
    const int x = across(target.x);
    const int y = down(target.y);
    const int width = across(target.x + target.width) - x;
    const int height = down(target.y + target.height) - y;
    if (width <= 0 || height <= 0)
        return true;

    // Stretched in memory, with the rows bottom-up as glDrawPixels reads them.
    SDL_Surface* scaled = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (scaled == nullptr)
        return false;
    SDL_SetSurfaceBlendMode(picture, SDL_BLENDMODE_NONE);
    const bool stretched = SDL_BlitScaled(picture, nullptr, scaled, nullptr) == 0;
    std::vector<std::uint8_t> rows;
    if (stretched) {
        const std::size_t rowBytes = std::size_t{4} * static_cast<std::size_t>(width);
        rows.resize(rowBytes * static_cast<std::size_t>(height));
        const auto* from = static_cast<const std::uint8_t*>(scaled->pixels);
        for (int row = 0; row < height; ++row)
            std::memcpy(rows.data() + rowBytes * static_cast<std::size_t>(height - 1 - row),
                        from + static_cast<std::ptrdiff_t>(row) * scaled->pitch, rowBytes);
    }
    SDL_FreeSurface(scaled);
    if (!stretched)
        return false;

    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == nullptr)
        return false;
    glViewport(0, 0, drawableWidth, drawableHeight);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    // GL counts rows from the bottom; the raster position (-1, -1) is the
    // viewport's bottom-left corner.
    glViewport(x, drawableHeight - y - height, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRasterPos2f(-1.0f, -1.0f);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    // The bitmap's bytes are blue, green, red, alpha, as for SDL's ARGB8888.
    glDrawPixels(width, height, GL_BGRA, GL_UNSIGNED_BYTE, rows.data());
    const bool drawn = glGetError() == GL_NO_ERROR;
    if (!drawn)
        SDL_SetError("OpenGL could not draw the picture");
    SDL_GL_SwapWindow(window);
    SDL_GL_MakeCurrent(previousWindow, previousContext);
    SDL_GL_DeleteContext(context);
    return drawn;
}

} // namespace

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
