// Before the toy shows its window again in the top layer it waits for the
// window manager to let go of it. Window managers say so in either of the two
// ways the conventions allow; waiting for only one of them kept the window
// hidden for a whole second under xfwm4, panel and desktop showing.

// Google Test before Xlib, whose macros (None, Bool) clash with its names.
#include <gtest/gtest.h>

#include "platform/x11/X11Properties.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace {

class X11WindowState : public ::testing::Test {
protected:
    void SetUp() override
    {
        display = XOpenDisplay(nullptr);
        if (display == nullptr)
            GTEST_SKIP() << "needs an X display";
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 16, 16, 0, 0, 0);
        wmState = XInternAtom(display, "WM_STATE", False);
    }
    void TearDown() override
    {
        if (display != nullptr)
            XCloseDisplay(display);
    }

    // WM_STATE as a window manager writes it: the state and no icon window.
    void setState(unsigned long state)
    {
        unsigned long value[2] = {state, 0};
        XChangeProperty(display, window, wmState, wmState, 32, PropModeReplace, reinterpret_cast<unsigned char*>(value),
                        2);
        XSync(display, False);
    }

    Display* display = nullptr;
    Window window = 0;
    Atom wmState = 0;
};

TEST_F(X11WindowState, WithdrawnWhenTheManagerDeletesOrResetsWmState)
{
    EXPECT_TRUE(platform::x11::withdrawn(display, window)) << "never managed";
    setState(NormalState);
    EXPECT_FALSE(platform::x11::withdrawn(display, window));
    setState(IconicState);
    EXPECT_FALSE(platform::x11::withdrawn(display, window));
    setState(WithdrawnState);
    EXPECT_TRUE(platform::x11::withdrawn(display, window)) << "set to WithdrawnState, as xfwm4 does";
    setState(NormalState);
    XDeleteProperty(display, window, wmState);
    XSync(display, False);
    EXPECT_TRUE(platform::x11::withdrawn(display, window)) << "deleted, as mutter and openbox do";
}

} // namespace
