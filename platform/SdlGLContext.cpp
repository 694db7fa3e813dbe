// The window's OpenGL context. Vsync is asked for but never required: some X
// servers (Xvfb among them) refuse it, and the toy runs as well without it.
#include "platform/SdlPlatform.h"

#include "platform/SdlPlatformState.h"

#include <SDL.h>

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace platform {

namespace {

// Recurses until the stack runs out. Each call keeps a live page of its own
// and uses the result of the next, so it can become neither a loop nor a
// tail call.
[[gnu::noinline]] std::size_t exhaustStack(std::size_t depth)
{
    volatile char page[4096];
    page[depth % sizeof page] = static_cast<char>(depth);
    if (depth == SIZE_MAX)
        return 0;
    return exhaustStack(depth + 1) + static_cast<std::size_t>(page[depth % sizeof page]);
}

} // namespace

ContextHandle SdlPlatform::createGLContext(WindowHandle handle)
{
    SDL_Window* window = SDL_GetWindowFromID(static_cast<Uint32>(handle));
    if (window == nullptr) {
        std::fprintf(stderr, "zindle: no window for an OpenGL context\n");
        return 0;
    }
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == nullptr) {
        std::fprintf(stderr, "zindle: cannot create the OpenGL context: %s\n", SDL_GetError());
        return 0;
    }
    int doubleBuffer = 0;
    int depth = 0;
    SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &doubleBuffer);
    SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depth);
    if (doubleBuffer == 0 || depth < 16) {
        std::fprintf(stderr, "zindle: asked for a double-buffered context with 16 depth bits, got %s and %d\n",
                     doubleBuffer ? "double buffering" : "a single buffer", depth);
        SDL_GL_DeleteContext(context);
        return 0;
    }
    SDL_GL_SetSwapInterval(1);
    return reinterpret_cast<ContextHandle>(context);
}

void SdlPlatform::makeCurrent(WindowHandle handle, ContextHandle context)
{
    if (!state->initialized)
        return;
    SDL_Window* window = context == 0 ? nullptr : SDL_GetWindowFromID(static_cast<Uint32>(handle));
    SDL_GL_MakeCurrent(window, reinterpret_cast<SDL_GLContext>(context));
}

void SdlPlatform::deleteGLContext(ContextHandle context)
{
    if (context != 0)
        SDL_GL_DeleteContext(reinterpret_cast<SDL_GLContext>(context));
}

void SdlPlatform::swapBuffers(WindowHandle handle)
{
    if (SDL_Window* window = SDL_GetWindowFromID(static_cast<Uint32>(handle)))
        SDL_GL_SwapWindow(window);
    ++state->swaps;
    // Benchmark hook: with ZINDLE_REPORT_FIRST_SWAP=1 the first swap writes its
    // CLOCK_MONOTONIC time, so start-up can be timed from outside the process.
    static const bool reportFirstSwap = std::getenv("ZINDLE_REPORT_FIRST_SWAP") != nullptr;
    if (reportFirstSwap && state->swaps == 1) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::fprintf(stderr, "zindle: first frame swapped at %lld.%09ld\n", static_cast<long long>(now.tv_sec),
                     now.tv_nsec);
    }
    // The test hook set up in the constructor.
    if (state->swaps == 1) {
        if (state->crashAfterFirstSwap == State::TestCrash::signal)
            std::raise(SIGSEGV);
        else if (state->crashAfterFirstSwap == State::TestCrash::stackOverflow)
            exhaustStack(0);
    }
}

} // namespace platform
