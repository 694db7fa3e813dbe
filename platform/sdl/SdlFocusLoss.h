// What a full-screen window does when the keyboard goes to another window.
#pragma once

#include "platform/Message.h"

namespace platform {

// Called when a full-screen window has lost the keyboard: makes sure it does
// not hide the window that has it.
void stepAsideAfterFocusLoss(WindowHandle window);

} // namespace platform
