// Tries to grab the keyboard as a second X client would, and lets go at once.
// Prints and exits with the outcome: 0 "grabbed", 1 "already-grabbed" (another
// client holds the keyboard), 2 for any other refusal, 3 with no display.
#include <X11/Xlib.h>

#include <cstdio>

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::puts("no-display");
        return 3;
    }
    const int result =
        XGrabKeyboard(display, DefaultRootWindow(display), False, GrabModeAsync, GrabModeAsync, CurrentTime);
    int exitCode = 2;
    switch (result) {
    case GrabSuccess:
        std::puts("grabbed");
        XUngrabKeyboard(display, CurrentTime);
        exitCode = 0;
        break;
    case AlreadyGrabbed:
        std::puts("already-grabbed");
        exitCode = 1;
        break;
    default:
        std::printf("refused %d\n", result);
        break;
    }
    XCloseDisplay(display);
    return exitCode;
}
