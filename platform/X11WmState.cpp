#include "platform/X11WmState.h"

#include <X11/Xutil.h>

namespace platform::x11 {

bool withdrawn(Display* display, Window window)
{
    const Atom state = XInternAtom(display, "WM_STATE", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, window, state, 0, 1, False, state, &type, &format, &count, &remaining, &data);
    const bool gone = type == None || (data != nullptr && format == 32 && count == 1 &&
                                       *reinterpret_cast<const unsigned long*>(data) == WithdrawnState);
    if (data != nullptr)
        XFree(data);
    return gone;
}

} // namespace platform::x11
