// The toy's own message box on an X display. It draws its text on the client
// side, so it shows whatever fonts the X server has on its font path (SDL's
// X11 box needs matching core fonts there and fails without them). It blocks
// until the box is dismissed or a polite end (SIGINT, SIGTERM, SIGHUP) is
// asked for; the latter is left waiting for the message queue to act on.
#pragma once

#include <string>
#include <string_view>

namespace platform {

enum class BoxOutcome {
    dismissed,      // Return, Space, Escape, keypad Enter, a click on OK or the window manager's close
    closeRequested, // a polite end arrived while the box was up
    noDisplay,      // no X display could be opened; nothing was shown
};

// Error says why when the outcome is noDisplay.
BoxOutcome showX11MessageBox(std::string_view text, std::string_view caption, std::string& error);

} // namespace platform
