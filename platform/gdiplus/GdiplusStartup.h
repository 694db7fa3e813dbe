// Starting and stopping GDI+ for the platform's startDrawing and stopDrawing:
// GdiplusStartup with the caller's input and no output, GdiplusShutdown with
// its token. Every Bitmap, Font and Graphics lives between the two.
#pragma once

#include "platform/Platform.h"

#include <cstdint>

namespace platform {

// GDI+'s status (0 when usable); on failure lastError is the system's last
// error code, for the program's exit code.
int startGdiplus(std::uintptr_t* token, const DrawingStartupInput& input, unsigned& lastError);
// A zero token (a start that failed) does nothing.
void stopGdiplus(std::uintptr_t token);

} // namespace platform
