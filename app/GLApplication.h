// The abstract frame of the program: starts the 2D drawing library, switches
// the display, opens the one window with its GL context, runs the message loop
// with frame timing and tears everything down. What is drawn and what a key
// does are left to the concrete application's six virtual operations.
#pragma once

#include "app/Stopwatch.h"
#include "platform/Platform.h"

#include <cstdint>

// What the frame last heard of its full-screen window, for the rule in
// windowProc that keeps a child from typing into a window nobody sees.
struct FullScreenWatch {
    platform::WindowHandle window = 0; // 0 in the windowed fallback: no rule
    bool minimized = false;
    bool inFront = false; // the program has the foreground
};

class GLApplication {
public:
    explicit GLApplication(platform::Platform& instance);
    virtual ~GLApplication();
    GLApplication(const GLApplication&) = delete;
    GLApplication& operator=(const GLApplication&) = delete;

    virtual void drawFrame(double totalSeconds, double frameSeconds) = 0;
    virtual void keyDown(int virtualKey) = 0;
    virtual void createScene() = 0;
    virtual void destroyScene() = 0;
    virtual void showSplash(platform::WindowHandle window) = 0;

    // Runs the program from the display switch to the tear-down and returns the
    // process exit code.
    int run();

    Stopwatch frameTimer;
    Stopwatch totalTimer;
    std::int32_t width = 0;
    std::int32_t height = 0;
    // The 2D drawing library (the GDI+ stand-in): its start-up result, input and token.
    int gdiplusStatus = 0;
    platform::DrawingStartupInput gdiplusStartupInput;
    std::uintptr_t gdiplusToken = 0;
    std::int32_t active = 0;
    FullScreenWatch fullScreenWatch;
    platform::Platform& instance;
};

// The running application, for the window procedure. Set by run(), never cleared.
extern GLApplication* theApplication;

// The GL state that every frame relies on, set once the context is current:
// texturing, smooth shading, the clear values and the depth test.
void setGlobalGLState();

std::intptr_t windowProc(platform::WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
