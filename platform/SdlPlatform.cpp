// SdlPlatform's life: starting and stopping SDL's video, the signal handlers,
// the 2D drawing library's start-up, the cursor and the window class.
#include "platform/SdlPlatform.h"

#include "platform/Memory.h"
#include "platform/SdlPlatformState.h"
#include "platform/SessionBus.h"
#include "platform/Signals.h"
#include "platform/Status.h"
#include "platform/VideoDriver.h"
#include "platform/X11Connection.h"

#include <SDL.h>
#include <fontconfig/fontconfig.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace platform {

namespace {

// SDL falls back to drivers that draw nowhere when there is no display; the toy
// would then run unseen. They count only when asked for by name.
bool drawsNowhere(const char* driver)
{
    return driver != nullptr && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

} // namespace

bool onX11Driver()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && std::strcmp(driver, "x11") == 0;
}

SdlPlatform::SdlPlatform() : state(std::make_unique<State>())
{
    // First of all, so that a signal during start-up already ends the toy
    // through its normal tear-down.
    signals::install();
    shareOneMallocArena();
    // Until SDL has its display, start-up can block inside a library for good
    // (a display or compositor that accepts the connection and never answers);
    // nothing exists yet that a signal would need to undo.
    std::optional<signals::EndAtOnce> endAtOnce(std::in_place);

    const DisplayEnvironment environment = readDisplayEnvironment();
    const bool driverNamed = !environment.namedDriver.empty();
    const VideoDriverChoice choice = chooseVideoDriver(environment, probeWayland);
    if (!choice.error.empty()) {
        state->initError = choice.error;
        return;
    }
    if (!choice.note.empty())
        std::fprintf(stderr, "zindle: %s\n", choice.note.c_str());
    if (!choice.driver.empty())
        SDL_SetHint(SDL_HINT_VIDEODRIVER, choice.driver.c_str());
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Closing the window is one close message, not a second one from SDL_QUIT.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    keepSessionBusFromAutolaunching();
    const bool started = SDL_Init(SDL_INIT_VIDEO) == 0;
    endAtOnce.reset();
    SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    if (!started) {
        state->initError = SDL_GetError();
        return;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driverNamed && drawsNowhere(driver)) {
        state->initError = std::string("no display, only SDL's ") + driver + " driver";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return;
    }
    if (onX11Driver())
        x11connection::watch();
    // Only key-downs matter; text input would bring an input method into play.
    SDL_StopTextInput();
    state->initialized = true;

    // Test hook: ZINDLE_TEST_CRASH_AFTER_FIRST_SWAP=1 makes swapBuffers raise
    // SIGSEGV after the first swap, and =overflow makes it run out of stack,
    // so tests can check what a crash leaves behind (the desktop's display
    // mode, the cursor).
    if (const char* crash = std::getenv("ZINDLE_TEST_CRASH_AFTER_FIRST_SWAP")) {
        if (std::strcmp(crash, "1") == 0)
            state->crashAfterFirstSwap = State::TestCrash::signal;
        else if (std::strcmp(crash, "overflow") == 0)
            state->crashAfterFirstSwap = State::TestCrash::stackOverflow;
    }
}

SdlPlatform::~SdlPlatform()
{
    if (state->initialized) {
        // The application the procedure reaches may be gone by now.
        state->procedure = nullptr;
        while (!state->windows.empty())
            SdlPlatform::destroyWindow(state->windows.back().handle);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    signals::restore();
}

bool SdlPlatform::initialized() const
{
    return state->initialized;
}

const std::string& SdlPlatform::initError() const
{
    return state->initError;
}

// The drawing library is Cairo with Pango, whose one start-up step that can
// fail is fontconfig's configuration.
int SdlPlatform::startDrawing(std::uintptr_t* token, const DrawingStartupInput& input)
{
    *token = 0;
    if (input.version != 1) {
        state->lastError = EINVAL;
        return static_cast<int>(Status::InvalidParameter);
    }
    errno = 0;
    if (!FcInit()) {
        state->lastError = static_cast<unsigned>(errno);
        return static_cast<int>(Status::GenericError);
    }
    state->drawingStarted = true;
    *token = 1;
    return static_cast<int>(Status::Ok);
}

void SdlPlatform::stopDrawing(std::uintptr_t token)
{
    // fontconfig stays up: Pango's font map keeps its patterns to the end of
    // the process, and FcFini under them aborts on its own assertions.
    if (token != 0)
        state->drawingStarted = false;
}

unsigned SdlPlatform::lastError()
{
    return state->lastError;
}

void SdlPlatform::showCursor(bool show)
{
    if (state->initialized)
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

void SdlPlatform::registerClass(const WindowClass& windowClass)
{
    state->className = windowClass.className;
    state->procedure = windowClass.procedure;
}

} // namespace platform
