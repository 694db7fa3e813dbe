// The GL attributes every OpenGL window of the toy is made with. Inline, so
// that the launch benchmark's bare SDL floor asks for the same context without
// linking the toy's libraries.
#pragma once

#include <SDL.h>

namespace platform {

// What the frame's context needs: double buffering, 8 bits per colour, a depth
// buffer of at least 16 bits, and the old fixed-function pipeline. Set before
// the window is made.
inline void setFrameGLAttributes()
{
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

} // namespace platform
