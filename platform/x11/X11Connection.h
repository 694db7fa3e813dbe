// What the toy does when its X connection is lost (the server ended, or the
// toy was killed off it with xkill): one line on stderr, the desktop's display
// mode given back through a fresh connection where the toy switched it and the
// server is still there, and exit code 1 at once. Xlib's own handler writes
// two lines and leaves through exit(), whose clean-up then talks to the dead
// connection.
#pragma once

struct _XDisplay; // NOLINT(bugprone-reserved-identifier): Xlib's display, see X11Window.h

namespace platform::x11connection {

// Takes over Xlib's handler for a lost connection, for every connection of
// the process. Call once the X display is open.
void watch();

// While one lives, X errors are ignored instead of ending the process, as
// Xlib's default handler (and SDL's, which calls it) would: those of every
// connection, or with `only` those of that one connection, the others going
// to the handler that was there before. Probing a server whose GLX cannot
// make a context causes such errors, and the probing itself survives them;
// only the context that is asked for afterwards fails. Traps nest.
class ErrorTrap;
// What the traps do with an X error (an XErrorEvent): called by Xlib only.
int onTrappedError(_XDisplay* display, void* event);

class ErrorTrap {
public:
    explicit ErrorTrap(_XDisplay* only = nullptr);
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

private:
    friend int onTrappedError(_XDisplay* display, void* event);

    _XDisplay* only;
    void* previous; // Xlib's handler before this trap
    ErrorTrap* outer;
};

// Waits until the X server has answered every request of the connection so
// far, so that errors they cause have arrived.
void waitForServer(_XDisplay* display);

// Notes the display mode of every output through a connection of its own, so
// that it can be given back if the toy's connection is lost after switching.
// Call before switching.
void rememberDesktopMode();

} // namespace platform::x11connection
