// The message calls of the SDL platform: the loop's queue, filled from SDL's
// events when it runs dry, a close for a polite signal, waiting for the next
// message, the display's refresh rate, the quit message, and the default
// handling, which turns Alt+F4 into a close as the desktop system the frame
// was designed around does.
//
// The wait sleeps where the keeper says (on X11 in poll() on the X connection
// and the polite signals' pipe), elsewhere in SDL's wait, in slices no longer
// than the next thing the loop must do without being asked: end after a
// polite signal and let the keeper look whether anything is stacked over a
// full-screen window.
#include "platform/sdl/SdlPlatform.h"

#include "platform/posix/Signals.h"
#include "platform/sdl/MessageQueue.h"
#include "platform/sdl/SdlEvents.h"
#include "platform/sdl/SdlKeeper.h"
#include "platform/sdl/SdlWindows.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// How late a polite signal may end a waiting toy, in milliseconds. Ten
// wake-ups a second cost nothing measurable.
constexpr std::uint64_t signalSlice = 100;

} // namespace

bool SdlPlatform::peekMessage(Message& message)
{
    if (!videoStarted)
        return false;
    if (queue->empty())
        pumpSdlEvents(*windows, *keeper);
    if (SdlWindowRecord* window = windows->mainWindow(); window != nullptr && signals::takeCloseRequest())
        windows->post(window->handle, WM_CLOSE);
    return queue->take(message);
}

void SdlPlatform::waitMessage(double seconds)
{
    if (!videoStarted)
        return;
    // Timed on the performance counter: SDL's milliseconds are whole ones,
    // and a deadline counted in them could end the wait up to one early.
    const bool forever = seconds < 0.0;
    const double frequency = static_cast<double>(SDL_GetPerformanceFrequency());
    const std::uint64_t start = SDL_GetPerformanceCounter();
    const std::uint64_t deadline = forever ? UINT64_MAX : start + static_cast<std::uint64_t>(seconds * frequency);
    for (;;) {
        // The quit message waits too: peekMessage would take it now.
        if (!queue->empty() || queue->quitWaiting() || signals::closeRequestPending())
            return;
        const std::uint64_t counter = SDL_GetPerformanceCounter();
        if (counter >= deadline)
            return;
        // Whole milliseconds, rounded up: waking early would only wait again.
        const std::uint64_t left =
            forever
                ? signalSlice
                : static_cast<std::uint64_t>(std::ceil(static_cast<double>(deadline - counter) * 1000.0 / frequency));
        const std::uint64_t slice = keeper->untilNextLook(SDL_GetTicks64(), std::min(left, signalSlice));
        if (slice == 0)
            return;
        // A null event only looks (after pumping what the server sent): the
        // message loop's own pump takes it.
        if (SDL_PollEvent(nullptr) != 0)
            return;
        if (!keeper->waitForNews(slice) && SDL_WaitEventTimeout(nullptr, static_cast<int>(slice)) != 0)
            return;
        if (keeper->untilNextLook(SDL_GetTicks64(), 1) == 0)
            return;
    }
}

int SdlPlatform::refreshRate(WindowHandle handle)
{
    SDL_Window* window = videoStarted ? SDL_GetWindowFromID(static_cast<Uint32>(handle)) : nullptr;
    if (window == nullptr)
        return 0;
    SDL_DisplayMode mode;
    const int display = SDL_GetWindowDisplayIndex(window);
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0)
        return 0;
    return std::max(mode.refresh_rate, 0);
}

void SdlPlatform::translateMessage(const Message&)
{
    // Character messages would come from here; the toy reads key-downs only.
}

std::intptr_t SdlPlatform::dispatchMessage(const Message& message)
{
    return windows->send(message.window, message.message, message.wParam, message.lParam);
}

void SdlPlatform::postQuitMessage(int exitCode)
{
    queue->postQuit(exitCode);
}

std::intptr_t SdlPlatform::defWindowProc(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                         std::intptr_t lParam)
{
    // Without a window manager nobody else turns Alt+F4 into a close.
    if (message == WM_SYSKEYDOWN && wParam == static_cast<std::uintptr_t>(VK_F4) && (lParam & KF_ALTDOWN_BIT) != 0)
        windows->send(window, WM_CLOSE);
    return 0;
}

} // namespace platform
