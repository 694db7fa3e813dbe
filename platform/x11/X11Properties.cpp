#include "platform/x11/X11Properties.h"

#include <X11/Xutil.h>

namespace platform::x11 {

bool withdrawn(Display* display, Window window)
{
    const Atom state = XInternAtom(display, "WM_STATE", False);
    bool present = false;
    bool withdrawnState = false;
    forEachItem(display, window, state, state, [&](unsigned long value) {
        // The first item is the state; the icon window follows it.
        if (!present)
            withdrawnState = value == WithdrawnState;
        present = true;
    });
    return !present || withdrawnState;
}

} // namespace platform::x11
