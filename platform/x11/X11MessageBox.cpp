// The message box window on a connection of its own: a dialog titled with the
// caption, centred on the screen and kept above a full-screen window, taking
// the keyboard focus once it shows. Its loop waits on the X connection and on
// the signal handlers' wake-up pipe together, so a polite end closes it at
// once instead of waiting for the next key.
#include "platform/x11/X11MessageBox.h"

#include "platform/posix/Signals.h"
#include "platform/x11/MessageBoxLayout.h"
#include "platform/x11/MessageBoxPainter.h"
#include "platform/x11/X11Connection.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo.h>
#include <poll.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <string>

namespace platform {

namespace {

// A Cairo RGB24 pixel (0x00RRGGBB) as a pixel value of a true-colour visual
// of any depth.
class PixelFormat {
public:
    explicit PixelFormat(const Visual* visual)
        : red(visual->red_mask), green(visual->green_mask), blue(visual->blue_mask)
    {
    }

    unsigned long pixel(std::uint32_t rgb) const
    {
        return red.place((rgb >> 16) & 0xFF) | green.place((rgb >> 8) & 0xFF) | blue.place(rgb & 0xFF);
    }

private:
    struct Channel {
        unsigned long mask;
        int shift = 0;
        int bits = 0;

        explicit Channel(unsigned long channelMask) : mask(channelMask)
        {
            while (mask != 0 && ((mask >> shift) & 1) == 0)
                ++shift;
            while (((mask >> (shift + bits)) & 1) != 0)
                ++bits;
        }

        // The top bits of an 8-bit value, where the mask holds them.
        unsigned long place(std::uint32_t value) const
        {
            const unsigned long scaled = bits >= 8 ? value << (bits - 8) : value >> (8 - bits);
            return (scaled << shift) & mask;
        }
    };
    Channel red;
    Channel green;
    Channel blue;
};

bool dismissesBox(KeySym key)
{
    return key == XK_Return || key == XK_KP_Enter || key == XK_space || key == XK_Escape;
}

class Box {
public:
    Box(Display* connection, std::string_view text, std::string_view caption)
        : display(connection), painter(text), layout(layOutMessageBox(painter.textSize(), painter.labelSize()))
    {
        create(caption);
        surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, layout.window.width, layout.window.height);
        gc = XCreateGC(display, window, 0, nullptr);
        XMapRaised(display, window);
    }

    ~Box()
    {
        cairo_surface_destroy(surface);
        if (image != nullptr)
            XDestroyImage(image);
        XFreeGC(display, gc);
        if (!destroyed)
            XDestroyWindow(display, window);
        XSync(display, False);
    }

    Box(const Box&) = delete;
    Box& operator=(const Box&) = delete;

    BoxOutcome run()
    {
        const pollfd watched[2] = {{ConnectionNumber(display), POLLIN, 0}, {signals::closeRequestFd(), POLLIN, 0}};
        for (;;) {
            // XPending also sends what is still buffered.
            while (!done && XPending(display) > 0) {
                XEvent event;
                XNextEvent(display, &event);
                handle(event);
            }
            if (done)
                return BoxOutcome::dismissed;
            if (signals::closeRequestPending())
                return BoxOutcome::closeRequested;
            // Woken by an event, a signal's byte or the interruption itself;
            // the next pass looks at all of them.
            pollfd ready[2] = {watched[0], watched[1]};
            poll(ready, ready[1].fd >= 0 ? 2 : 1, -1);
        }
    }

private:
    Atom atom(const char* name) { return XInternAtom(display, name, False); }

    void create(std::string_view caption)
    {
        const int screen = DefaultScreen(display);
        const int x = (DisplayWidth(display, screen) - layout.window.width) / 2;
        const int y = (DisplayHeight(display, screen) - layout.window.height) / 2;
        XSetWindowAttributes attributes{};
        attributes.event_mask =
            ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask;
        attributes.background_pixel = WhitePixel(display, screen);
        window = XCreateWindow(display, RootWindow(display, screen), x, y, static_cast<unsigned>(layout.window.width),
                               static_cast<unsigned>(layout.window.height), 0, CopyFromParent, InputOutput,
                               CopyFromParent, CWEventMask | CWBackPixel, &attributes);

        const std::string title(caption);
        XStoreName(display, window, title.c_str());
        XChangeProperty(display, window, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
        char name[] = "zindle";
        char className[] = "Zindle";
        XClassHint classHint{name, className};
        XSetClassHint(display, window, &classHint);

        // A fixed size at a chosen place, input wanted, closable by the
        // window manager, a dialog that stays above a full-screen window.
        XSizeHints size{};
        size.flags = PPosition | PSize | PMinSize | PMaxSize;
        size.x = x;
        size.y = y;
        size.width = size.min_width = size.max_width = layout.window.width;
        size.height = size.min_height = size.max_height = layout.window.height;
        XSetWMNormalHints(display, window, &size);
        XWMHints hints{};
        hints.flags = InputHint | StateHint;
        hints.input = True;
        hints.initial_state = NormalState;
        XSetWMHints(display, window, &hints);
        deleteWindow = atom("WM_DELETE_WINDOW");
        XSetWMProtocols(display, window, &deleteWindow, 1);
        Atom type = atom("_NET_WM_WINDOW_TYPE_DIALOG");
        XChangeProperty(display, window, atom("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&type), 1);
        Atom above = atom("_NET_WM_STATE_ABOVE");
        XChangeProperty(display, window, atom("_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&above), 1);
        protocols = atom("WM_PROTOCOLS");
    }

    // Painted off screen with Cairo, then put into the window as an image
    // in the window's own pixel format; Cairo's Xlib backend would keep data
    // for the connection that it never frees.
    void paint()
    {
        cairo_t* cairo = cairo_create(surface);
        painter.paint(cairo, layout, buttonHeld);
        cairo_destroy(cairo);
        cairo_surface_flush(surface);
        if (image == nullptr && !makeImage())
            return;
        const unsigned char* rows = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        const PixelFormat format(DefaultVisual(display, DefaultScreen(display)));
        for (int y = 0; y < layout.window.height; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(rows + std::ptrdiff_t{y} * stride);
            for (int x = 0; x < layout.window.width; ++x)
                XPutPixel(image, x, y, format.pixel(row[x]));
        }
        XPutImage(display, window, gc, image, 0, 0, 0, 0, static_cast<unsigned>(layout.window.width),
                  static_cast<unsigned>(layout.window.height));
    }

    bool makeImage()
    {
        const int screen = DefaultScreen(display);
        const auto width = static_cast<unsigned>(layout.window.width);
        const auto height = static_cast<unsigned>(layout.window.height);
        // XDestroyImage frees the pixels with free().
        char* pixels = static_cast<char*>(std::calloc(std::size_t{width} * height, 4));
        if (pixels == nullptr)
            return false;
        image =
            XCreateImage(display, DefaultVisual(display, screen), static_cast<unsigned>(DefaultDepth(display, screen)),
                         ZPixmap, 0, pixels, width, height, 32, 0);
        if (image == nullptr)
            std::free(pixels);
        return image != nullptr; // NOLINT(clang-analyzer-unix.Malloc): the image owns the pixels
    }

    void handle(const XEvent& event)
    {
        switch (event.type) {
        case Expose:
            if (event.xexpose.count == 0)
                paint();
            break;
        case MapNotify:
            // Without a window manager nobody else gives the box the keyboard.
            XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
            break;
        case KeyPress: {
            // A key counts when it is let go, and only if it went down while
            // the box was up: a key still held from before does not dismiss it.
            const KeySym key = XLookupKeysym(const_cast<XKeyEvent*>(&event.xkey), 0);
            armedKey = dismissesBox(key) ? key : NoSymbol;
            break;
        }
        case KeyRelease:
            if (armedKey != NoSymbol && XLookupKeysym(const_cast<XKeyEvent*>(&event.xkey), 0) == armedKey)
                done = true;
            break;
        case ButtonPress:
            if (event.xbutton.button == Button1 && layout.button.contains(event.xbutton.x, event.xbutton.y)) {
                buttonHeld = true;
                paint();
            }
            break;
        case ButtonRelease:
            if (event.xbutton.button == Button1 && buttonHeld) {
                buttonHeld = false;
                done = layout.button.contains(event.xbutton.x, event.xbutton.y);
                if (!done)
                    paint();
            }
            break;
        case ClientMessage:
            if (event.xclient.message_type == protocols && static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow)
                done = true;
            break;
        case DestroyNotify:
            if (event.xdestroywindow.window == window)
                done = destroyed = true;
            break;
        default:
            break;
        }
    }

    Display* display;
    MessageBoxPainter painter;
    MessageBoxLayout layout;
    Window window = None;
    cairo_surface_t* surface = nullptr;
    GC gc = nullptr;
    XImage* image = nullptr;
    Atom protocols = None;
    Atom deleteWindow = None;
    KeySym armedKey = NoSymbol;
    bool buttonHeld = false;
    bool done = false;
    bool destroyed = false;
};

} // namespace

BoxOutcome showX11MessageBox(std::string_view text, std::string_view caption, std::string& error)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        error = std::string("cannot open the X display \"") + XDisplayName(nullptr) + "\"";
        return BoxOutcome::noDisplay;
    }
    BoxOutcome outcome;
    {
        // X errors caused on the box's own connection (a focus the server
        // will not give, a window another client destroyed) are no reason to
        // end the toy.
        const x11connection::ErrorTrap errors(display);
        Box box(display, text, caption);
        outcome = box.run();
    }
    XCloseDisplay(display);
    return outcome;
}

} // namespace platform
