// Reading a window's properties of 32-bit items (atoms, window ids, states),
// the one way every X11 helper of the toy reads them.
#pragma once

#include <X11/Xlib.h>

namespace platform::x11 {

// Calls each(value) for every item of the property, in order; nothing when
// the property is missing, of another type or not of 32-bit items. At most
// 4096 items are read. True if the property was there with 32-bit items.
template <typename Each>
bool forEachItem(Display* display, Window window, Atom property, Atom type, Each each)
{
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 4096, False, type, &actualType, &format, &count, &remaining,
                           &data) != Success)
        return false;
    const bool read = data != nullptr && format == 32 && actualType == type;
    if (read) {
        // Xlib hands 32-bit items out as longs, whatever the size of a long.
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long i = 0; i < count; ++i)
            each(values[i]);
    }
    if (data != nullptr)
        XFree(data);
    return read;
}

// Whether the window manager has let go of a window the program hid, so that
// it may be shown again: the manager either deletes WM_STATE or sets it to
// WithdrawnState, as the conventions between clients allow both.
bool withdrawn(Display* display, Window window);

} // namespace platform::x11
