// The lost-connection handler and the desktop mode it gives back. The mode is
// noted as each CRTC's configuration (mode, position, rotation, outputs) and
// the screen's size, read through RandR, which is how the display mode is
// switched on today's X servers.
#include "platform/x11/X11Connection.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace platform::x11connection {

namespace {

struct CrtcSetting {
    RRCrtc crtc = 0;
    RRMode mode = 0;
    int x = 0;
    int y = 0;
    Rotation rotation = RR_Rotate_0;
    std::vector<RROutput> outputs;
};

struct DesktopMode {
    bool noted = false;
    std::string display;
    int width = 0;
    int height = 0;
    int widthMm = 0;
    int heightMm = 0;
    std::vector<CrtcSetting> crtcs;
};

// Xlib's handler for a lost connection is called with the display alone, so
// the mode it gives back can reach it only from here.
DesktopMode desktop;

bool hasRandr(Display* display)
{
    int event = 0;
    int error = 0;
    return XRRQueryExtension(display, &event, &error) == True;
}

// Runs what is given with the screen's resources on a fresh connection.
template <typename Action>
void withResources(const char* name, Action action)
{
    Display* display = XOpenDisplay(name);
    if (display == nullptr)
        return;
    if (hasRandr(display)) {
        if (XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display))) {
            action(display, resources);
            XRRFreeScreenResources(resources);
        }
    }
    XCloseDisplay(display);
}

void setCrtcs(Display* display, XRRScreenResources* resources)
{
    for (CrtcSetting& setting : desktop.crtcs) {
        XRRCrtcInfo* now = XRRGetCrtcInfo(display, resources, setting.crtc);
        const bool same = now != nullptr && now->mode == setting.mode && now->x == setting.x && now->y == setting.y &&
                          now->rotation == setting.rotation;
        if (now != nullptr)
            XRRFreeCrtcInfo(now);
        if (!same)
            XRRSetCrtcConfig(display, resources, setting.crtc, CurrentTime, setting.x, setting.y, setting.mode,
                             setting.rotation, setting.outputs.data(), static_cast<int>(setting.outputs.size()));
    }
}

// A failed request while giving the mode back changes nothing about leaving.
int ignoreError(Display*, XErrorEvent*)
{
    return 0;
}

void giveModeBack()
{
    if (!desktop.noted)
        return;
    XSetErrorHandler(ignoreError);
    withResources(desktop.display.c_str(), [](Display* display, XRRScreenResources* resources) {
        const int screen = DefaultScreen(display);
        const bool grow =
            desktop.width > DisplayWidth(display, screen) || desktop.height > DisplayHeight(display, screen);
        const bool resize =
            desktop.width != DisplayWidth(display, screen) || desktop.height != DisplayHeight(display, screen);
        // The screen must hold every CRTC at every moment: grow it before the
        // modes are set, shrink it after.
        if (resize && grow)
            XRRSetScreenSize(display, DefaultRootWindow(display), desktop.width, desktop.height, desktop.widthMm,
                             desktop.heightMm);
        setCrtcs(display, resources);
        if (resize && !grow)
            XRRSetScreenSize(display, DefaultRootWindow(display), desktop.width, desktop.height, desktop.widthMm,
                             desktop.heightMm);
        XSync(display, False);
    });
}

int onConnectionLost(Display* display)
{
    std::fprintf(stderr, "zindle: lost the connection to the X server \"%s\"\n", DisplayString(display));
    giveModeBack();
    // Not exit(): the clean-up it runs would talk to the dead connection.
    _exit(1);
}

} // namespace

void watch()
{
    XSetIOErrorHandler(onConnectionLost);
}

namespace {

// Xlib's error handler is called with the display and the error alone, so
// the traps it answers to can reach it only from here.
ErrorTrap* innermostTrap = nullptr;

int onXError(Display* display, XErrorEvent* event)
{
    return onTrappedError(display, event);
}

} // namespace

int onTrappedError(Display* display, void* event)
{
    const ErrorTrap* trap = innermostTrap;
    if (trap == nullptr || trap->only == nullptr || trap->only == display)
        return 0;
    const auto previous = reinterpret_cast<XErrorHandler>(trap->previous);
    return previous != nullptr ? previous(display, static_cast<XErrorEvent*>(event)) : 0;
}

ErrorTrap::ErrorTrap(Display* onlyDisplay)
    : only(onlyDisplay), previous(reinterpret_cast<void*>(XSetErrorHandler(onXError))), outer(innermostTrap)
{
    innermostTrap = this;
}

ErrorTrap::~ErrorTrap()
{
    innermostTrap = outer;
    XSetErrorHandler(reinterpret_cast<XErrorHandler>(previous));
}

void waitForServer(Display* display)
{
    XSync(display, False);
}

void rememberDesktopMode()
{
    desktop = {};
    withResources(nullptr, [](Display* display, XRRScreenResources* resources) {
        const int screen = DefaultScreen(display);
        desktop.display = DisplayString(display);
        desktop.width = DisplayWidth(display, screen);
        desktop.height = DisplayHeight(display, screen);
        desktop.widthMm = DisplayWidthMM(display, screen);
        desktop.heightMm = DisplayHeightMM(display, screen);
        for (int i = 0; i < resources->ncrtc; ++i) {
            XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, resources->crtcs[i]);
            if (info == nullptr)
                continue;
            if (info->mode != None)
                desktop.crtcs.push_back({resources->crtcs[i], info->mode, info->x, info->y, info->rotation,
                                         std::vector<RROutput>(info->outputs, info->outputs + info->noutput)});
            XRRFreeCrtcInfo(info);
        }
        desktop.noted = true;
    });
}

} // namespace platform::x11connection
