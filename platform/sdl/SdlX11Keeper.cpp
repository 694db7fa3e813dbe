// The keeper on X11. SDL hands out the X display and window of its windows,
// and owns showing and hiding, so that its own idea of the window stays true
// while the window moves between the window manager's layers; the X11
// helpers do the rest with the display and window they are handed.
#include "platform/sdl/SdlX11Keeper.h"

#include "platform/posix/Signals.h"
#include "platform/sdl/SdlWindows.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Window.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace platform {

namespace {

// The X display and window of an SDL window; none where it is not an X11 one.
std::optional<x11::Target> x11Target(WindowHandle handle)
{
    SDL_Window* window = SDL_GetWindowFromID(static_cast<Uint32>(handle));
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11)
        return std::nullopt;
    return x11::Target{info.info.x11.display, info.info.x11.window};
}

// Puts a full-screen window back on top where something else is stacked over
// it although it has the focus (see x11::coveredBy). Returns whether anything
// was covering it.
bool putBackOnTop(WindowHandle handle)
{
    const std::optional<x11::Target> target = x11Target(handle);
    if (!target)
        return false;
    switch (x11::coveredBy(*target)) {
    case x11::Covered::no:
        return false;
    case x11::Covered::inFullScreenLayer: {
        // Hidden, let go of by the window manager (a second at most), and
        // shown again asking for the top layer.
        SDL_Window* window = SDL_GetWindowFromID(static_cast<Uint32>(handle));
        SDL_HideWindow(window);
        x11::waitUntilWithdrawn(*target, 1000);
        x11::askForTopLayer(*target);
        SDL_ShowWindow(window);
        SDL_RaiseWindow(window);
        x11connection::waitForServer(target->display);
        return true;
    }
    case x11::Covered::inTopLayer:
        x11::raise(*target);
        return true;
    }
    return false;
}

// On X11 the toy asks to stay above every other window while full screen, so
// a window that takes the keyboard anyway (one that grabbed the focus, or a
// window manager that switched on Alt+Tab past the toy's grab, as mutter does
// for Xwayland clients) would get the child's keys unseen, under the toy.
// That is reported as the program losing the foreground, and the frame has
// the window step aside. Wayland compositors raise such a window over a
// full-screen one themselves, so there the news is never sent.
class X11Keeper final : public SdlKeeper {
public:
    explicit X11Keeper(SdlWindows& sdlWindows) : windows(sdlWindows) { x11connection::watch(); }

    void windowComing() override
    {
        x11::preferTrueColorVisual();
        trap.emplace();
    }

    void windowMade(WindowHandle handle) override
    {
        // Errors the GL probing caused arrive by now, while they are trapped.
        if (const auto target = x11Target(handle))
            x11connection::waitForServer(target->display);
        trap.reset();
    }

    bool coversScreen() const override { return true; }

    bool markFullScreen(WindowHandle handle) override
    {
        const auto target = x11Target(handle);
        if (target)
            x11::markFullScreen(*target);
        return target.has_value();
    }

    void beforeModeSwitch() override { x11connection::rememberDesktopMode(); }

    void watch(WindowHandle handle) override { watched.push_back({handle}); }

    void forget(WindowHandle handle) override
    {
        std::erase_if(watched, [handle](const Watched& window) { return window.handle == handle; });
    }

    void focusGained(WindowHandle handle) override
    {
        Watched* window = find(handle);
        if (window == nullptr)
            return;
        window->restackingUntil = 0;
        if (window->lossReported) {
            window->lossReported = false;
            windows.post(handle, WM_ACTIVATEAPP, 1);
        }
    }

    void focusLost(WindowHandle handle) override
    {
        Watched* window = find(handle);
        if (window != nullptr && shows(*window) && SDL_GetTicks64() >= window->restackingUntil)
            reportLoss(*window);
    }

    // Some window managers stack a panel over a full-screen window even while
    // it has the focus, and a panel may raise itself later. Looking twice a
    // second costs one round trip to the X server when nothing covers it.
    void keepOnTop() override
    {
        constexpr std::uint64_t interval = 500;
        // Time for the window manager to show the window again and give it
        // back the focus, generous for a loaded machine.
        constexpr std::uint64_t restackingGrace = 3000;
        const std::uint64_t now = SDL_GetTicks64();
        for (Watched& window : watched) {
            if (!shows(window) || now < window.nextLook)
                continue;
            window.nextLook = now + interval;
            SDL_Window* sdlWindow = SDL_GetWindowFromID(static_cast<Uint32>(window.handle));
            if (sdlWindow == nullptr)
                continue;
            const bool focused = (SDL_GetWindowFlags(sdlWindow) & SDL_WINDOW_INPUT_FOCUS) != 0;
            if (focused && putBackOnTop(window.handle)) {
                window.restackingUntil = now + restackingGrace;
            } else if (!focused && window.restackingUntil != 0 && now >= window.restackingUntil) {
                // The focus never came back after the window put itself on
                // top: another window has the keyboard.
                window.restackingUntil = 0;
                reportLoss(window);
            }
        }
    }

    std::uint64_t untilNextLook(std::uint64_t now, std::uint64_t longest) const override
    {
        for (const Watched& window : watched) {
            if (shows(window))
                longest = std::min(longest, window.nextLook > now ? window.nextLook - now : 0);
        }
        return longest;
    }

    // Sleeps in poll() on the X connection and on the polite signals' pipe,
    // never in SDL's own event wait, whose wake-up machinery (2.26) can send
    // its wake-up to a window just destroyed, which Xlib reports as a fatal
    // error.
    bool waitForNews(std::uint64_t milliseconds) override
    {
        SdlWindowRecord* window = windows.mainWindow();
        if (window == nullptr)
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

    // SDL's X11 box needs the core fonts the toy's own box does without, and
    // where the toy's box finds no display SDL's finds none either.
    bool sdlMessageBoxes() const override { return false; }

private:
    struct Watched {
        WindowHandle handle = 0;
        // When the window next looks whether anything is stacked over it, in
        // SDL's milliseconds.
        std::uint64_t nextLook = 0;
        // Putting itself back on top hides and shows the window, which costs
        // it the focus for a moment. Until the focus is back, or until this
        // time passes, a focus loss is the window's own doing, not another
        // window taking the keyboard; 0 while the window is not restacking.
        std::uint64_t restackingUntil = 0;
        // A loss went to the procedure and the focus has not come back since.
        bool lossReported = false;
    };

    Watched* find(WindowHandle handle)
    {
        const auto found = std::find_if(watched.begin(), watched.end(),
                                        [handle](const Watched& window) { return window.handle == handle; });
        return found == watched.end() ? nullptr : &*found;
    }

    bool shows(const Watched& window) const
    {
        const SdlWindowRecord* record = windows.find(window.handle);
        return record != nullptr && !record->minimized;
    }

    void reportLoss(Watched& window)
    {
        window.lossReported = true;
        windows.post(window.handle, WM_ACTIVATEAPP, 0);
    }

    SdlWindows& windows;
    std::optional<x11connection::ErrorTrap> trap;
    std::vector<Watched> watched;
};

} // namespace

std::unique_ptr<SdlKeeper> makeX11Keeper(SdlWindows& windows)
{
    return std::make_unique<X11Keeper>(windows);
}

} // namespace platform
