// What the SDL backend does beyond SDL to keep the full-screen window in
// front and the child inside it, where the window system leaves that to the
// program. Chosen once, when SDL has started, from the driver it started on:
// on X11 the toy asks the window manager for the top itself, looks after
// panels stacked over it and tells a real loss of the keyboard from its own
// restacking; elsewhere (Wayland) the compositor does all of it, and the
// keeper does nothing. No SDL type appears here.
#pragma once

#include "platform/Message.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace platform {

class SdlWindows;

class SdlKeeper {
public:
    virtual ~SdlKeeper() = default;

    // The keeper for the video driver SDL runs on.
    static std::unique_ptr<SdlKeeper> forDriver(std::string_view driver, SdlWindows& windows);
    // The keeper before SDL has started, or where nothing needs keeping.
    static std::unique_ptr<SdlKeeper> none();

    // Making a window: windowComing before SDL makes it, windowMade after
    // (with 0 if it failed), both always in pairs.
    virtual void windowComing() {}
    virtual void windowMade(WindowHandle) {}
    // Whether a full-screen window in the desktop's own mode can be a
    // borderless window over the whole screen rather than SDL's full screen.
    virtual bool coversScreen() const { return false; }
    // Asks, before the first showing, for the window to be shown full screen
    // and above everything else; false where that cannot be asked.
    virtual bool markFullScreen(WindowHandle) { return false; }
    // Before the display mode is switched, so that it can be given back
    // however the program ends.
    virtual void beforeModeSwitch() {}

    // The full-screen window, from its making to its end.
    virtual void watch(WindowHandle) {}
    virtual void forget(WindowHandle) {}
    // Focus news of a window: whether another program took the foreground
    // from the full-screen window is this keeper's judgement, and it reports
    // it to the window procedure as WM_ACTIVATEAPP.
    virtual void focusGained(WindowHandle) {}
    virtual void focusLost(WindowHandle) {}
    // Called after every pump of SDL's events: puts the full-screen window
    // back on top where something covers it.
    virtual void keepOnTop() {}
    // Milliseconds until keepOnTop has work, at most `longest`.
    virtual std::uint64_t untilNextLook(std::uint64_t, std::uint64_t longest) const { return longest; }

    // Sleeps until the window system has news or the time passes; false
    // where SDL's own wait is to be used instead.
    virtual bool waitForNews(std::uint64_t) { return false; }
    // Whether SDL's message box may stand in when the toy's own box finds no
    // X display.
    virtual bool sdlMessageBoxes() const { return true; }
};

} // namespace platform
