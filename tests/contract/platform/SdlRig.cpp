// The platform contract on the SDL backend, on the test's X display: keys
// pressed through the X server's test extension (xdotool), the window closed
// and its pixels read by a second X client, as a window manager and a
// screenshot tool would.
#include "platform/sdl/SdlPlatform.h"
#include "tests/contract/platform/PlatformContract.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <map>

namespace contract {
namespace {

using platform::WindowHandle;

bool hasDisplay()
{
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && *display != '\0';
}

SDL_Window* sdlWindow(WindowHandle window)
{
    return SDL_GetWindowFromID(static_cast<Uint32>(window));
}

// The X window behind an SDL window; 0 if there is none.
::Window xWindow(WindowHandle window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    SDL_Window* sdl = sdlWindow(window);
    if (sdl == nullptr || !SDL_GetWindowWMInfo(sdl, &info) || info.subsystem != SDL_SYSWM_X11)
        return 0;
    return info.info.x11.window;
}

int ignoreXErrors(Display*, XErrorEvent*)
{
    return 0;
}

// A connection of its own, as another program on the desktop has; errors
// (a window not yet mapped) are ignored while it is open.
class OtherClient {
public:
    OtherClient() : display(XOpenDisplay(nullptr)), previous(XSetErrorHandler(ignoreXErrors)) {}
    ~OtherClient()
    {
        if (display != nullptr) {
            XSync(display, False);
            XCloseDisplay(display);
        }
        XSetErrorHandler(previous);
    }
    OtherClient(const OtherClient&) = delete;
    OtherClient& operator=(const OtherClient&) = delete;

    Display* const display;

private:
    int (*previous)(Display*, XErrorEvent*);
};

class SdlRig : public PlatformRig {
public:
    SdlRig()
    {
        if (!hasDisplay())
            return;
        sdl = std::make_unique<platform::SdlPlatform>();
        // An X server that resets when its last client leaves (as xvfb-run
        // starts it) refuses connections for a moment: try again for a while.
        const Uint64 deadline = SDL_GetTicks64() + 20000;
        while (!sdl->initialized() && SDL_GetTicks64() < deadline) {
            sdl.reset();
            SDL_Delay(50);
            sdl = std::make_unique<platform::SdlPlatform>();
        }
    }

    std::string unusable() const override
    {
        if (!sdl)
            return "no X display";
        return sdl->initialized() ? std::string() : "no SDL video: " + sdl->initError();
    }
    platform::Platform& platform() override { return *sdl; }

    std::optional<std::string> title(WindowHandle window) override
    {
        if (SDL_Window* sdlW = sdlWindow(window))
            return std::string(SDL_GetWindowTitle(sdlW));
        return std::nullopt;
    }

    std::optional<bool> fullScreen(WindowHandle window) override
    {
        SDL_Window* sdlW = sdlWindow(window);
        if (sdlW == nullptr)
            return std::nullopt;
        return (SDL_GetWindowFlags(sdlW) & (SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN)) != 0;
    }

    // X11 leaves iconifying to the window manager: on a display without one
    // (the test's bare Xvfb) a request to minimize goes unanswered.
    std::string cannotMinimize() const override
    {
        OtherClient other;
        if (other.display == nullptr)
            return "no X display";
        if (XGetSelectionOwner(other.display, XInternAtom(other.display, "WM_S0", False)) == None)
            return "no window manager on this display to iconify windows";
        return {};
    }

    std::string pressKey(WindowHandle, int virtualKey) override
    {
        static const std::map<int, const char*> keysyms = {
            {'A', "a"}, {'7', "7"}, {platform::VK_SPACE, "space"}, {platform::VK_ESCAPE, "Escape"}};
        const auto found = keysyms.find(virtualKey);
        if (found == keysyms.end())
            return "no key symbol for this virtual key";
        if (std::system("command -v xdotool >/dev/null 2>&1") != 0)
            return "xdotool is not installed";
        const std::string command = std::string("xdotool key ") + found->second;
        return std::system(command.c_str()) == 0 ? std::string() : "xdotool failed";
    }

    std::string closeFromOutside(WindowHandle window) override
    {
        const ::Window target = xWindow(window);
        OtherClient other;
        if (target == 0 || other.display == nullptr)
            return "no X window to close";
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = target;
        event.xclient.message_type = XInternAtom(other.display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(other.display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(other.display, target, False, NoEventMask, &event);
        return {};
    }

    std::optional<std::uint32_t> screenPixel(WindowHandle window, int x, int y) override
    {
        const ::Window target = xWindow(window);
        OtherClient other;
        if (target == 0 || other.display == nullptr)
            return std::nullopt;
        XImage* image = XGetImage(other.display, target, x, y, 1, 1, AllPlanes, ZPixmap);
        if (image == nullptr)
            return std::nullopt;
        // The test displays are 24-bit true colour; any other layout is not read.
        std::optional<std::uint32_t> colour;
        if (image->red_mask == 0xFF0000u && image->green_mask == 0xFF00u && image->blue_mask == 0xFFu)
            colour = static_cast<std::uint32_t>(XGetPixel(image, 0, 0) & 0xFFFFFFu);
        XDestroyImage(image);
        return colour;
    }

private:
    std::unique_ptr<platform::SdlPlatform> sdl;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Sdl, PlatformContract,
                         ::testing::Values(RigMaker{"Sdl", [] { return std::make_unique<SdlRig>(); }}), rigName);

} // namespace contract
