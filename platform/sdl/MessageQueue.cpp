#include "platform/sdl/MessageQueue.h"

#include <algorithm>

namespace platform {

void MessageQueue::postQuit(int exitCode)
{
    quitPosted = true;
    quitCode = exitCode;
}

bool MessageQueue::take(Message& message)
{
    if (!waiting.empty()) {
        message = waiting.front();
        waiting.pop_front();
        return true;
    }
    if (quitPosted) {
        quitPosted = false;
        message = {0, WM_QUIT, static_cast<std::uintptr_t>(quitCode), 0};
        return true;
    }
    return false;
}

void MessageQueue::forget(WindowHandle window)
{
    std::erase_if(waiting, [window](const Message& message) { return message.window == window; });
}

} // namespace platform
