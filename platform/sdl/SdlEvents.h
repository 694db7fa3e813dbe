// SDL's events turned into the frame's window messages.
#pragma once

namespace platform {

class SdlKeeper;
class SdlWindows;

// Moves every waiting SDL event into the message queue, never waiting; the
// keeper judges the focus news of the full-screen window and keeps it above
// anything stacked over it.
void pumpSdlEvents(SdlWindows& windows, SdlKeeper& keeper);

} // namespace platform
