// Waiting for the next message on SDL, and the display's refresh rate. On X11
// the wait sleeps in poll() on the X connection and on the polite signals'
// pipe, never in SDL's own event wait, whose wake-up machinery (2.26) can
// send its wake-up to a window just destroyed, which Xlib reports as a fatal
// error. Elsewhere it sleeps in SDL's wait. Either way in slices no longer
// than the next thing the loop must do without being asked: end after a
// polite signal and look whether anything is stacked over a full-screen
// window.
#include "platform/sdl/SdlPlatform.h"

#include "platform/posix/Signals.h"
#include "platform/sdl/MessageQueue.h"
#include "platform/sdl/SdlWindows.h"
#include "platform/sdl/SdlX11.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// How late a polite signal may end a waiting toy, in milliseconds. Ten
// wake-ups a second cost nothing measurable.
constexpr std::uint64_t signalSlice = 100;

// Milliseconds until the next look at the stacking of a full-screen window
// that shows; `longest` when none shows.
std::uint64_t untilStackingCheck(SdlWindows& windows, std::uint64_t now, std::uint64_t longest)
{
    for (const SdlWindowRecord& window : windows.all()) {
        if (window.fullScreen && !window.minimized)
            longest = std::min(longest, window.nextStackingCheck > now ? window.nextStackingCheck - now : 0);
    }
    return longest;
}

// Sleeps until the X connection has something to read, a polite signal is
// waiting, or the time passes; false where SDL is not on X11.
bool waitOnX11(SdlWindows& windows, std::uint64_t milliseconds)
{
    SdlWindowRecord* window = windows.mainWindow();
    if (window == nullptr || !onX11Driver())
        return false;
    const std::optional<x11::Target> target = x11Target(window->handle);
    if (!target)
        return false;
    Display* display = target->display;
    XFlush(display);
    if (XEventsQueued(display, QueuedAlready) > 0)
        return true;
    pollfd ready[] = {{ConnectionNumber(display), POLLIN, 0}, {signals::closeRequestFd(), POLLIN, 0}};
    poll(ready, ready[1].fd >= 0 ? 2 : 1, static_cast<int>(milliseconds));
    return true;
}

} // namespace

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
        const std::uint64_t slice = untilStackingCheck(*windows, SDL_GetTicks64(), std::min(left, signalSlice));
        if (slice == 0)
            return;
        // A null event only looks (after pumping what the server sent): the
        // message loop's own pump takes it.
        if (SDL_PollEvent(nullptr) != 0)
            return;
        if (!waitOnX11(*windows, slice) && SDL_WaitEventTimeout(nullptr, static_cast<int>(slice)) != 0)
            return;
        if (untilStackingCheck(*windows, SDL_GetTicks64(), 1) == 0)
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

} // namespace platform
