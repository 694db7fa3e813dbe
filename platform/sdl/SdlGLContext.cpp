// The window's OpenGL context, and whether it has what the frame draws with.
// Vsync is asked for but never required: some X servers (Xvfb among them)
// refuse it, and the toy runs as well without it.
#include "platform/sdl/SdlPlatform.h"

#include "platform/sdl/SdlGLAttributes.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>

#include <cstdio>
#include <string>

namespace platform {

namespace {

// What the current context lacks of what the frame draws with, as words for
// the error line; empty if nothing. The frame needs double buffering, a depth
// buffer of 16 bits, the fixed-function pipeline (no core profile) and
// textures given as BGRA (OpenGL 1.2, or the extension before it).
std::string missingForTheFrame()
{
    int doubleBuffer = 0;
    int depth = 0;
    SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &doubleBuffer);
    SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depth);
    if (doubleBuffer == 0)
        return "a single buffer, not two";
    if (depth < 16)
        return std::to_string(depth) + " depth bits, not 16";
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version == nullptr)
        return "no version";
    int major = 0;
    int minor = 0;
    if (std::sscanf(version, "%d.%d", &major, &minor) != 2)
        return std::string("an unreadable version \"") + version + "\"";
    if (major > 3 || (major == 3 && minor >= 2)) {
        GLint profile = 0;
        glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
        if ((profile & GL_CONTEXT_CORE_PROFILE_BIT) != 0)
            return std::string("a core profile (") + version + "), without the fixed-function pipeline";
    }
    if (major == 1 && minor < 2 && SDL_GL_ExtensionSupported("GL_EXT_bgra") == SDL_FALSE)
        return std::string("version ") + version + " without BGRA textures";
    return {};
}

} // namespace

ContextHandle SdlPlatform::createGLContext(WindowHandle handle)
{
    SDL_Window* window = SDL_GetWindowFromID(static_cast<Uint32>(handle));
    if (window == nullptr) {
        std::fprintf(stderr, "zindle: no window for an OpenGL context\n");
        return 0;
    }
    if ((SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL) == 0) {
        std::fprintf(stderr, "zindle: no OpenGL for the window: %s\n", glError.c_str());
        return 0;
    }
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == nullptr) {
        std::fprintf(stderr, "zindle: cannot create the OpenGL context: %s\n", SDL_GetError());
        return 0;
    }
    const std::string missing = missingForTheFrame();
    if (!missing.empty()) {
        std::fprintf(stderr, "zindle: the OpenGL context has %s\n", missing.c_str());
        SDL_GL_MakeCurrent(window, nullptr);
        SDL_GL_DeleteContext(context);
        return 0;
    }
    SDL_GL_SetSwapInterval(1);
    return reinterpret_cast<ContextHandle>(context);
}

void SdlPlatform::makeCurrent(WindowHandle handle, ContextHandle context)
{
    if (!videoStarted)
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
    if (!frameShown) {
        frameShown = true;
        startWaitingAudio();
        startWaitingSpeech();
    }
}

} // namespace platform
