// The message queue the frame's loop polls on SDL, in the order the desktop
// system the frame was designed around keeps: posted messages first in, first
// out, and the quit message only once nothing else is waiting, whenever it
// was posted. Plain C++: SDL's events are translated into it elsewhere.
#pragma once

#include "platform/Message.h"

#include <deque>

namespace platform {

class MessageQueue {
public:
    void post(const Message& message) { waiting.push_back(message); }
    // Asks for one quit message; a second request before it is taken only
    // changes its exit code.
    void postQuit(int exitCode);

    // No posted message is waiting; a quit request may be.
    bool empty() const { return waiting.empty(); }
    // A quit message is asked for and not yet taken.
    bool quitWaiting() const { return quitPosted; }
    // Takes the oldest message, or the quit message when none is left; false
    // when there is neither.
    bool take(Message& message);
    // Drops the messages for a window that is gone.
    void forget(WindowHandle window);

private:
    std::deque<Message> waiting;
    bool quitPosted = false;
    int quitCode = 0;
};

} // namespace platform
