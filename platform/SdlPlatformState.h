// What the SDL platform's files share: the window class, the windows with what
// the frame was last told about them, the chosen full-screen mode and the
// message queue. Project types only; window handles are SDL window ids.
#pragma once

#include "platform/SdlPlatform.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace platform {

struct SdlPlatform::State {
    bool initialized = false;
    std::string initError;
    unsigned lastError = 0;
    bool drawingStarted = false;

    // Why the last window made has no OpenGL; empty if it has.
    std::string glError;

    std::string className;
    WindowProcedure procedure = nullptr;

    // The exact display mode changeDisplayMode found; it takes effect when the
    // full-screen window is shown.
    struct FullScreenMode {
        bool chosen = false;
        std::uint32_t format = 0;
        int width = 0;
        int height = 0;
        int refreshRate = 0;
    } mode;

    struct Window {
        WindowHandle handle = 0;
        bool fullScreen = false;
        bool minimized = false;
        // The last size and activation the procedure was given, so that SDL's
        // repeats of the same news are not passed on twice.
        unsigned width = 0;
        unsigned height = 0;
        std::uintptr_t activation = ~std::uintptr_t{0};
        // When the full-screen window next looks whether anything is stacked
        // over it, in SDL's milliseconds.
        std::uint64_t nextStackingCheck = 0;
        // Putting itself back on top hides and shows the window, which costs
        // it the focus for a moment. Until the focus is back, or until this
        // time passes, a focus loss is the window's own doing, not another
        // window taking the keyboard; 0 while the window is not restacking.
        std::uint64_t restackingUntil = 0;
    };
    std::vector<Window> windows;

    std::deque<Message> queue;
    bool quitPosted = false;
    int quitCode = 0;

    std::uint64_t swaps = 0;
    // What the test hook makes the first swap do, if anything.
    enum class TestCrash { none, signal, stackOverflow };
    TestCrash crashAfterFirstSwap = TestCrash::none;

    Window* find(WindowHandle handle);
    // The window closes and signals are meant for: the first one made.
    Window* mainWindow() { return windows.empty() ? nullptr : &windows.front(); }

    // Calls the class's procedure at once, as the desktop system does for the
    // messages it sends rather than posts.
    std::intptr_t send(WindowHandle window, unsigned message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
    void post(WindowHandle window, unsigned message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);

    // Tells the window procedure about a new size or activation, dropping
    // what it already knows; sent at once or queued.
    void reportSize(Window& window, unsigned width, unsigned height, bool sendNow);
    void reportActivation(Window& window, unsigned state, bool sendNow);
};

// Moves every waiting SDL event into the message queue, never waiting.
void pumpSdlEvents(SdlPlatform::State& state);

// Whether SDL has started on its X11 driver (not on Wayland or another).
bool onX11Driver();

// Called when a full-screen window has lost the keyboard: makes sure it does
// not hide the window that has it (SdlFocusLoss.cpp).
void stepAsideAfterFocusLoss(WindowHandle window);

} // namespace platform
