// The message calls of the SDL platform: the loop's queue, filled from SDL's
// events when it runs dry, a close for a polite signal, the quit message, and
// the default handling, which turns Alt+F4 into a close as the desktop system
// the frame was designed around does.
#include "platform/sdl/SdlPlatform.h"

#include "platform/posix/Signals.h"
#include "platform/sdl/MessageQueue.h"
#include "platform/sdl/SdlEvents.h"
#include "platform/sdl/SdlWindows.h"

namespace platform {

bool SdlPlatform::peekMessage(Message& message)
{
    if (!videoStarted)
        return false;
    if (queue->empty())
        pumpSdlEvents(*windows);
    if (SdlWindowRecord* window = windows->mainWindow(); window != nullptr && signals::takeCloseRequest())
        windows->post(window->handle, WM_CLOSE);
    return queue->take(message);
}

void SdlPlatform::translateMessage(const Message&)
{
    // Character messages would come from here; the toy reads key-downs only.
}

std::intptr_t SdlPlatform::dispatchMessage(const Message& message)
{
    return windows->send(message.window, message.message, message.wParam, message.lParam);
}

void SdlPlatform::postQuitMessage(int exitCode)
{
    queue->postQuit(exitCode);
}

std::intptr_t SdlPlatform::defWindowProc(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                         std::intptr_t lParam)
{
    // Without a window manager nobody else turns Alt+F4 into a close.
    if (message == WM_SYSKEYDOWN && wParam == static_cast<std::uintptr_t>(VK_F4) && (lParam & KF_ALTDOWN_BIT) != 0)
        windows->send(window, WM_CLOSE);
    return 0;
}

} // namespace platform
