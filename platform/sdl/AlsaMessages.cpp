// libasound reports through one process-wide handler, which SDL never sets.
// The library stays loaded for good: the handler set lives in it.
#include "platform/sdl/AlsaMessages.h"

#include <dlfcn.h>

namespace platform {

namespace {

// libasound's snd_lib_error_handler_t.
using ErrorHandler = void (*)(const char* file, int line, const char* function, int error, const char* format, ...);
using SetErrorHandler = int (*)(ErrorHandler handler);

void ignore(const char*, int, const char*, int, const char*, ...) {}

} // namespace

void silenceAlsaMessages()
{
    void* library = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
        return;
    auto set = reinterpret_cast<SetErrorHandler>(dlsym(library, "snd_lib_error_set_handler"));
    if (set != nullptr)
        set(&ignore);
}

} // namespace platform
