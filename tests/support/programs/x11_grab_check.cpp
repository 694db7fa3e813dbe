// Tries to grab the keyboard (or, with the argument "pointer", the pointer) as
// a second X client would, and lets go at once. Prints and exits with the
// outcome: 0 "grabbed", 1 "already-grabbed" (another client holds it), 2 for
// any other refusal, 3 with no display.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    const bool pointer = argc > 1 && std::strcmp(argv[1], "pointer") == 0;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::puts("no-display");
        return 3;
    }
    const Window root = DefaultRootWindow(display);
    const int result = pointer ? XGrabPointer(display, root, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None,
                                              None, CurrentTime)
                               : XGrabKeyboard(display, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    int exitCode = 2;
    switch (result) {
    case GrabSuccess:
        std::puts("grabbed");
        if (pointer)
            XUngrabPointer(display, CurrentTime);
        else
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
