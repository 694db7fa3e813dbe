// The floor under the toy's launch: the least a program can do to put a frame
// on screen the way the toy does. It links SDL and GL only, opens the same
// kind of window (hidden OpenGL window covering the 1024x768 screen, borderless,
// then shown) with the same GL attributes, clears and swaps once, then waits
// for SIGTERM and ends with 0, as the toy does. The launch benchmark starts it
// exactly as it starts the toy, with the same start-up marks preloaded
// (tests/support/programs/startup_marks.cpp), so both timelines line up step by step.
#include "platform/sdl/SdlGLAttributes.h"

#include <GL/gl.h>
#include <SDL.h>

#include <csignal>
#include <cstdio>

int main()
{
    // SIGTERM is taken by sigwait below, not by a handler.
    sigset_t terminate;
    sigemptyset(&terminate);
    sigaddset(&terminate, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &terminate, nullptr);
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "launch_floor: %s\n", SDL_GetError());
        return 1;
    }

    platform::setFrameGLAttributes();
    SDL_Window* window =
        SDL_CreateWindow("floor", 0, 0, 1024, 768, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
    if (window == nullptr) {
        std::fprintf(stderr, "launch_floor: %s\n", SDL_GetError());
        return 1;
    }
    SDL_ShowWindow(window);

    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == nullptr) {
        std::fprintf(stderr, "launch_floor: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetSwapInterval(1);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_GL_SwapWindow(window);

    int received = 0;
    sigwait(&terminate, &received);

    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
