// The hidden SDL window and its GL context; released in reverse order of making.
#include "tests/support/HeadlessGLContext.h"

#include "platform/sdl/SdlGLAttributes.h"

#include <SDL.h>

#include <cstdlib>

namespace platform {

struct HeadlessGLContext::State {
    bool videoStarted = false;
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    std::string error;
};

HeadlessGLContext::HeadlessGLContext(int width, int height) : state(std::make_unique<State>())
{
    const char* display = std::getenv("DISPLAY");
    if ((!display || !*display) && !std::getenv("WAYLAND_DISPLAY"))
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        state->error = std::string("no video: ") + SDL_GetError();
        return;
    }
    state->videoStarted = true;

    setFrameGLAttributes();
    state->window = SDL_CreateWindow("Zindle GL", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                                     SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!state->window) {
        state->error = std::string("no GL window: ") + SDL_GetError();
        return;
    }
    state->context = SDL_GL_CreateContext(state->window);
    if (!state->context) {
        state->error = std::string("no GL context: ") + SDL_GetError();
        return;
    }
    if (SDL_GL_MakeCurrent(state->window, state->context) != 0)
        state->error = std::string("GL context not current: ") + SDL_GetError();
}

HeadlessGLContext::~HeadlessGLContext()
{
    if (state->context) {
        SDL_GL_MakeCurrent(state->window, nullptr);
        SDL_GL_DeleteContext(state->context);
    }
    if (state->window)
        SDL_DestroyWindow(state->window);
    if (state->videoStarted)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool HeadlessGLContext::ok() const
{
    return state->error.empty();
}

const std::string& HeadlessGLContext::error() const
{
    return state->error;
}

void HeadlessGLContext::makeCurrent()
{
    if (state->context)
        SDL_GL_MakeCurrent(state->window, state->context);
}

void HeadlessGLContext::swapBuffers()
{
    if (state->window)
        SDL_GL_SwapWindow(state->window);
}

} // namespace platform
