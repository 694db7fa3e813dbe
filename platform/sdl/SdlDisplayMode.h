// What a crash must undo while a full-screen window is up: its display mode
// and the hidden cursor.
#pragma once

#include "platform/Message.h"

namespace platform {

// The full-screen window a crash must take out of full screen; 0 for none.
// From the first call on, a crash also shows the cursor again.
void guardFullScreenWindow(WindowHandle window);

} // namespace platform
