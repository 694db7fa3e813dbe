#include "platform/cairo/DrawingStartup.h"

#include <fontconfig/fontconfig.h>

#include <cerrno>

namespace platform::cairo {

bool startDrawing(unsigned& error)
{
    errno = 0;
    if (FcInit())
        return true;
    error = static_cast<unsigned>(errno);
    return false;
}

} // namespace platform::cairo
