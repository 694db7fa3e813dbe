// What the application frame needs of the machine it runs on: the 2D drawing
// library's start-up, the display mode, one window with a GL context, a
// message queue that can be polled or waited on, message boxes, a
// high-resolution counter, and sound out and speech.
//
// The program runs on SdlPlatform; tests run the same frame on a scripted
// stand-in that plays messages and records what is asked of it.
#pragma once

#include "platform/Audio.h"
#include "platform/Message.h"
#include "platform/Rect.h"

#include <cstdint>
#include <string_view>

namespace platform {

class Bitmap;

// Start-up parameters of the 2D drawing library.
struct DrawingStartupInput {
    unsigned version = 1;
    void (*debugEventCallback)(int level, const char* message) = nullptr;
    bool suppressBackgroundThread = false;
    bool suppressExternalCodecs = false;
};

struct WindowClass {
    WindowProcedure procedure = nullptr;
    std::string_view className;
    int iconResource = 0;
};

struct WindowRequest {
    std::string_view className;
    std::string_view title;
    WindowRect client;       // the client area wanted, in screen coordinates
    bool fullScreen = false; // a borderless topmost window; else titled and resizable
};

class Platform {
public:
    virtual ~Platform() = default;

    // The 2D drawing library. Status 0 means usable; the token goes back to
    // stopDrawing whatever the status was.
    virtual int startDrawing(std::uintptr_t* token, const DrawingStartupInput& input) = 0;
    virtual void stopDrawing(std::uintptr_t token) = 0;
    // The error code of the last failed platform call, 0 if none is known.
    virtual unsigned lastError() = 0;

    // Asks for a full-screen display mode; false when exactly that mode cannot be had.
    virtual bool changeDisplayMode(int width, int height, int bitsPerPixel) = 0;
    virtual void showCursor(bool show) = 0;
    // Blocks until the user dismisses it.
    virtual void messageBox(std::string_view text, std::string_view caption) = 0;

    virtual void registerClass(const WindowClass& windowClass) = 0;
    // Creates the window hidden; 0 on failure. Messages the creation causes are
    // delivered to the class's procedure before this returns.
    virtual WindowHandle createWindow(const WindowRequest& request) = 0;
    virtual void showWindow(WindowHandle window) = 0;
    virtual void setForegroundWindow(WindowHandle window) = 0;
    virtual void setFocus(WindowHandle window) = 0;
    virtual WindowRect clientRect(WindowHandle window) = 0;
    // Draws a picture stretched over the rectangle, on screen at once; for use
    // before the window has a GL context. False if nothing could be drawn.
    virtual bool drawPicture(WindowHandle window, Bitmap& picture, int x, int y, int width, int height) = 0;
    virtual void destroyWindow(WindowHandle window) = 0;

    // The full-screen window's hold on the machine, taken and given back as
    // the frame decides (windowProc). Minimizes the window; safe to call from
    // inside its own procedure.
    virtual void minimizeWindow(WindowHandle window) = 0;
    // In front again: the full-screen mode, the whole keyboard, the pointer
    // kept inside the window, and the top of the stack.
    virtual void holdFullScreen(WindowHandle window) = 0;
    // Minimized: the desktop gets its own mode, keys and pointer back.
    virtual void releaseFullScreen(WindowHandle window) = 0;

    // A double-buffered RGBA context with a depth buffer of at least 16 bits;
    // 0 when none can be made.
    virtual ContextHandle createGLContext(WindowHandle window) = 0;
    // makeCurrent(0, 0) releases the current context.
    virtual void makeCurrent(WindowHandle window, ContextHandle context) = 0;
    virtual void deleteGLContext(ContextHandle context) = 0;
    virtual void swapBuffers(WindowHandle window) = 0;

    // Takes the oldest waiting message, if any; never waits.
    virtual bool peekMessage(Message& message) = 0;
    // Waits until a message is waiting or `seconds` have passed, whichever
    // comes first; a negative time waits for a message however long that
    // takes. Returns at once when one is waiting already. Takes no message.
    virtual void waitMessage(double seconds) = 0;
    // The refresh rate of the display the window shows on, in frames a
    // second; 0 when the platform cannot tell.
    virtual int refreshRate(WindowHandle window) = 0;
    virtual void translateMessage(const Message& message) = 0;
    // Hands the message to its window's procedure and returns its result.
    virtual std::intptr_t dispatchMessage(const Message& message) = 0;
    virtual void postQuitMessage(int exitCode) = 0;
    // What happens to a message the procedure does not handle itself.
    virtual std::intptr_t defWindowProc(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                        std::intptr_t lParam) = 0;

    // Sound out: plays what `source` renders on the default device. Returns at
    // once; the device is opened on a thread of the platform's own, so that
    // nothing waits for it. Without a device the program stays silent (one
    // line says why), and a device that goes away is looked for again until
    // one comes back.
    virtual void startAudio(AudioSource& source) = 0;
    // Stops playing; no call to the source runs once this returns.
    virtual void stopAudio() = 0;
    // Speech: says each text into a clip on a thread of its own and hands the
    // clips to `sink` there. Returns at once; where nothing can speak, no clip
    // comes (one line says why).
    virtual void startSpeech(const SpeechRequest& request, SpeechSink& sink) = 0;
    // Stops making clips; no call to the sink runs once this returns.
    virtual void stopSpeech() = 0;
};

} // namespace platform
