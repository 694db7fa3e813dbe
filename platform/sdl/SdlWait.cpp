// Waiting for the next message on SDL, and the display's refresh rate. The
// wait sleeps in SDL's own event wait, in slices no longer than the next
// thing the loop must do without being asked: end after a polite signal
// (whose handler SDL's wait does not notice) and look whether anything is
// stacked over a full-screen window.
#include "platform/sdl/SdlPlatform.h"

#include "platform/posix/Signals.h"
#include "platform/sdl/MessageQueue.h"
#include "platform/sdl/SdlWindows.h"

#include <SDL.h>

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

} // namespace

void SdlPlatform::waitMessage(double seconds)
{
    if (!videoStarted)
        return;
    const std::uint64_t start = SDL_GetTicks64();
    // Whole milliseconds, rounded up: waking early would only wait again.
    const bool forever = seconds < 0.0;
    const std::uint64_t deadline = forever ? UINT64_MAX : start + static_cast<std::uint64_t>(std::ceil(seconds * 1000.0));
    for (;;) {
        if (!queue->empty() || signals::closeRequestPending())
            return;
        const std::uint64_t now = SDL_GetTicks64();
        if (now >= deadline)
            return;
        std::uint64_t slice = untilStackingCheck(*windows, now, std::min(deadline - now, signalSlice));
        if (slice == 0)
            return;
        // A null event only looks: the message loop's own pump takes it.
        if (SDL_WaitEventTimeout(nullptr, static_cast<int>(slice)) != 0)
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
