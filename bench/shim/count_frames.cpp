// Preloaded into the real toy by the CPU benchmark: counts the buffer swaps
// into the file ZINDLE_BENCH_COUNTERS names and notes the refresh rate SDL
// reports. With ZINDLE_BENCH_UNPACED set it also reports a refresh rate no
// display has, so the toy paces to a grid far finer than any frame and draws
// as fast as the machine allows, as it did before it paced its frames: the
// same build, measured unpaced. The toy itself has no such switch.
#include "bench/shim/ToyCounters.h"

#include <SDL.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>

namespace {

constexpr int unpacedRate = 1000000;

bench::ToyCounters* counters()
{
    static bench::ToyCounters* shared = []() -> bench::ToyCounters* {
        const char* path = std::getenv("ZINDLE_BENCH_COUNTERS");
        if (path == nullptr)
            return nullptr;
        const int fd = open(path, O_RDWR | O_CLOEXEC);
        if (fd < 0)
            return nullptr;
        void* memory = mmap(nullptr, sizeof(bench::ToyCounters), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        close(fd);
        return memory == MAP_FAILED ? nullptr : static_cast<bench::ToyCounters*>(memory);
    }();
    return shared;
}

template <typename Function>
Function* next(const char* name)
{
    return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" void SDL_GL_SwapWindow(SDL_Window* window)
{
    static auto* real = next<void(SDL_Window*)>("SDL_GL_SwapWindow");
    real(window);
    if (bench::ToyCounters* shared = counters())
        shared->swaps.fetch_add(1, std::memory_order_relaxed);
}

extern "C" int SDL_GetCurrentDisplayMode(int display, SDL_DisplayMode* mode)
{
    static auto* real = next<int(int, SDL_DisplayMode*)>("SDL_GetCurrentDisplayMode");
    const int result = real(display, mode);
    if (result == 0) {
        if (bench::ToyCounters* shared = counters())
            shared->reportedRate.store(mode->refresh_rate);
        if (std::getenv("ZINDLE_BENCH_UNPACED") != nullptr)
            mode->refresh_rate = unpacedRate;
    }
    return result;
}
