// SdlPlatform's life: starting and stopping SDL's video, the keeper for the
// driver it started on, the signal handlers, the 2D drawing library's
// start-up, the cursor and the window class.
#include "platform/sdl/SdlPlatform.h"

#include "platform/Status.h"
#include "platform/cairo/DrawingStartup.h"
#include "platform/espeak/EspeakSpeech.h"
#include "platform/posix/Memory.h"
#include "platform/posix/SessionBus.h"
#include "platform/posix/Signals.h"
#include "platform/sdl/AudioPlayer.h"
#include "platform/sdl/MessageQueue.h"
#include "platform/sdl/SdlDisplayMode.h"
#include "platform/sdl/SdlKeeper.h"
#include "platform/sdl/SdlWindows.h"
#include "platform/sdl/VideoDriver.h"

#include <SDL.h>

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

SdlPlatform::SdlPlatform()
    : queue(std::make_unique<MessageQueue>()), windows(std::make_unique<SdlWindows>(*queue)), keeper(SdlKeeper::none())
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
        startError = choice.error;
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
        startError = SDL_GetError();
        return;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driverNamed && drawsNowhere(driver)) {
        startError = std::string("no display, only SDL's ") + driver + " driver";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return;
    }
    keeper = SdlKeeper::forDriver(driver != nullptr ? driver : "", *windows);
    // Only key-downs matter; text input would bring an input method into play.
    SDL_StopTextInput();
    guardFullScreenWindow(0);
    videoStarted = true;
}

SdlPlatform::~SdlPlatform()
{
    // Before the rest goes: the threads reach the source and the sink.
    SdlPlatform::stopSpeech();
    SdlPlatform::stopAudio();
    if (videoStarted) {
        // The application the procedure reaches may be gone by now.
        windows->forgetProcedure();
        while (!windows->all().empty())
            SdlPlatform::destroyWindow(windows->all().back().handle);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    signals::restore();
}

bool SdlPlatform::initialized() const
{
    return videoStarted;
}

const std::string& SdlPlatform::initError() const
{
    return startError;
}

// The drawing library is Cairo with Pango, whose one start-up step that can
// fail is fontconfig's configuration.
int SdlPlatform::startDrawing(std::uintptr_t* token, const DrawingStartupInput& input)
{
    *token = 0;
    if (input.version != 1) {
        lastErrorCode = EINVAL;
        return static_cast<int>(Status::InvalidParameter);
    }
    if (!cairo::startDrawing(lastErrorCode))
        return static_cast<int>(Status::GenericError);
    *token = 1;
    return static_cast<int>(Status::Ok);
}

void SdlPlatform::stopDrawing(std::uintptr_t)
{
    // fontconfig stays up: Pango's font map keeps its patterns to the end of
    // the process, and FcFini under them aborts on its own assertions.
}

unsigned SdlPlatform::lastError()
{
    return lastErrorCode;
}

void SdlPlatform::showCursor(bool show)
{
    if (videoStarted)
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

void SdlPlatform::registerClass(const WindowClass& windowClass)
{
    windows->registerClass(windowClass.className, windowClass.procedure);
}

} // namespace platform
