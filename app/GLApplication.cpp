#include "app/GLApplication.h"

#include "app/FramePacer.h"
#include "util/DebugTrace.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

using namespace platform;

GLApplication* theApplication = nullptr;

namespace {

constexpr int modeWidth = 1024;
constexpr int modeHeight = 768;
constexpr int modeBits = 32;
constexpr char className[] = "QuorvaneOpenGL";
constexpr int iconResource = 102;

// Failures the program examines: one line on standard error, then the box.
void reportFailure(Platform& platform, const char* text, const char* caption)
{
    std::fprintf(stderr, "zindle: %s\n", text);
    platform.messageBox(text, caption);
}

// The child-safety rule for the full-screen window: the platform reports what
// became of it, this decides, the platform does the work. A child must never
// type into a window nobody sees, so losing the foreground minimizes it; in
// front again it takes back the mode, the keyboard, the pointer and the top;
// minimized it gives them back to the desktop. Holding and releasing are
// idempotent, so news told twice does no harm.
void watchFullScreen(GLApplication& application, WindowHandle window, unsigned message, std::uintptr_t wParam)
{
    FullScreenWatch& watch = application.fullScreenWatch;
    if (window == 0 || window != watch.window)
        return;
    Platform& platform = application.instance;
    switch (message) {
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED) {
            watch.minimized = true;
            platform.releaseFullScreen(window);
        } else if (watch.minimized) {
            // A desktop may hand the foreground to a window while it is still
            // minimized and restore it afterwards: the restore is the return.
            watch.minimized = false;
            if (watch.inFront)
                platform.holdFullScreen(window);
        }
        break;
    case WM_ACTIVATE:
        watch.inFront = lowWord(wParam) != WA_INACTIVE;
        watch.minimized = highWord(wParam) != 0;
        if (watch.minimized)
            platform.releaseFullScreen(window);
        else if (watch.inFront)
            platform.holdFullScreen(window);
        break;
    case WM_ACTIVATEAPP:
        watch.inFront = wParam != 0;
        // A minimized window has nothing to hold and nothing to hide.
        if (watch.minimized)
            break;
        if (watch.inFront)
            platform.holdFullScreen(window);
        else
            platform.minimizeWindow(window);
        break;
    default:
        break;
    }
}

} // namespace

void setGlobalGLState()
{
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    // The cubes are closed and opaque and never reach the near plane, so no
    // face turned away from the viewer is ever seen: culling them leaves every
    // pixel as it was and halves what a software renderer shades. The faces
    // are wound clockwise as seen from outside.
    glFrontFace(GL_CW);
    glEnable(GL_CULL_FACE);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

GLApplication::GLApplication(Platform& platform) : instance(platform)
{
    gdiplusStatus = instance.startDrawing(&gdiplusToken, gdiplusStartupInput);
    active = 0;
}

GLApplication::~GLApplication()
{
    instance.stopDrawing(gdiplusToken);
}

int GLApplication::run()
{
    unsigned char fullScreen = 1;
    std::srand(static_cast<unsigned>(static_cast<std::uint64_t>(std::time(nullptr)) & 0xFFFFFFFFu));

    if (gdiplusStatus != 0) {
        reportFailure(instance, "Could not initialize Gdiplus", "Error");
        // A failed start-up must not look like success to whoever started us.
        unsigned error = instance.lastError();
        return error != 0 ? static_cast<int>(error) : 1;
    }

    if (!instance.changeDisplayMode(modeWidth, modeHeight, modeBits)) {
        reportFailure(instance, "Your video card or driver cannot handle 1024x768x32 in full screen mode.\n", "Zindle");
        fullScreen = 0;
    }

    theApplication = this;
    instance.registerClass({windowProc, className, iconResource});

    WindowRequest request;
    request.className = className;
    request.title = "Zindle";
    request.fullScreen = fullScreen != 0;
    if (fullScreen) {
        request.client = {0, 0, modeWidth, modeHeight};
        instance.showCursor(false);
    } else {
        request.client = {64, 64, 64 + modeWidth, 64 + modeHeight};
    }

    WindowHandle window = instance.createWindow(request);
    if (window == 0) {
        reportFailure(instance, "Could not start Zindle because of a problem creating the main window.", "Zindle");
        instance.showCursor(true);
        return 1;
    }

    // From here on the rule in windowProc keeps the full-screen window's hold.
    if (fullScreen)
        fullScreenWatch = {window, false, false};
    instance.showWindow(window);
    instance.setForegroundWindow(window);
    instance.setFocus(window);

    showSplash(window);

    ContextHandle context = instance.createGLContext(window);
    if (context == 0) {
        // Going on would leave a blank full screen that only ESC ends.
        reportFailure(instance, "Could not start Zindle because OpenGL is not available.", "Zindle");
        fullScreenWatch = {};
        instance.destroyWindow(window);
        instance.showCursor(true);
        return 1;
    }
    instance.makeCurrent(window, context);
    setGlobalGLState();

    createScene();

    frameTimer.start();
    totalTimer.start();

    FramePacer pacer(instance.refreshRate(window));
    Message msg;
    for (;;) {
        if (instance.peekMessage(msg)) {
            if (msg.message == WM_QUIT)
                break;
            instance.translateMessage(msg);
            instance.dispatchMessage(msg);
            continue;
        }
        // Minimized, nothing is drawn until a message comes; otherwise the
        // next frame waits for its turn, answering messages meanwhile.
        const double wait = pacer.secondsToWait();
        if (!active || wait > 0.0) {
            instance.waitMessage(active ? wait : -1.0);
            continue;
        }
        pacer.frameStarting();

        frameTimer.stop();
        double frameSeconds = frameTimer.seconds();
        frameTimer.reset();
        frameTimer.start();
        totalTimer.stop();
        totalTimer.start();
        double totalSeconds = totalTimer.seconds();

        drawFrame(totalSeconds, frameSeconds);
        instance.swapBuffers(window);
    }

    destroyScene();
    instance.makeCurrent(0, 0);
    instance.deleteGLContext(context);
    // A window on its way out loses the foreground; that is no reason to minimize it.
    fullScreenWatch = {};
    instance.destroyWindow(window);
    return static_cast<int>(msg.wParam);
}

std::intptr_t windowProc(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    GLApplication* application = theApplication;
    switch (message) {
    case WM_CREATE:
    case WM_DESTROY:
        return 0;
    case WM_SIZE:
        application->width = static_cast<std::int32_t>(lowWord(static_cast<std::uintptr_t>(lParam)));
        application->height = static_cast<std::int32_t>(highWord(static_cast<std::uintptr_t>(lParam)));
        glViewport(0, 0, application->width, application->height);
        DebugTrace(L"size: %d, %d\n", application->width, application->height);
        watchFullScreen(*application, window, message, wParam);
        return 0;
    case WM_ACTIVATE:
        // Only minimizing stops the frames; losing the focus does not.
        application->active = highWord(wParam) == 0 ? 1 : 0;
        watchFullScreen(*application, window, message, wParam);
        return 0;
    case WM_ACTIVATEAPP:
        watchFullScreen(*application, window, message, wParam);
        return 0;
    case WM_CLOSE:
        application->instance.postQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
        if (wParam == static_cast<std::uintptr_t>(VK_ESCAPE))
            application->instance.postQuitMessage(0);
        else
            application->keyDown(static_cast<int>(wParam));
        return 0;
    default:
        return application->instance.defWindowProc(window, message, wParam, lParam);
    }
}
