// The splash where a window has no surface of its own to draw into.
#pragma once

#include "platform/Rect.h"

struct SDL_Window;
struct SDL_Surface;

namespace platform {

// Draws the picture stretched over the target rectangle of the window through
// a GL context made for it alone and gone again before this returns. False,
// with SDL's error set, if nothing could be drawn.
bool drawPictureThroughGL(SDL_Window* window, SDL_Surface* picture, const Rect& target);

} // namespace platform
