// The audio path alone: what the sound board's render takes of its buffer's
// period, and the heap allocations it makes (budget exactly 0), under the
// heaviest load the toy can give it: every name spoken and cut by the next,
// the space bar's forty landings again and again in waves, keys on top.
//
// Each render call is timed at the buffer sizes a device asks for (256, 512
// and 1024 frames at 48 kHz, 441 at 44.1 kHz) and reported as a share of the
// time the buffer lasts: median, 99.9th percentile and worst. On the thread's
// CPU time, what render itself costs: budget a quarter of the period for all
// but one call in a thousand, which leaves the rest to the sound server (the
// worst single call is shown: on a busy machine it meets cache misses and
// page faults the others do not). On the clock, what the
// device waits, including any time the machine gave the thread to others. Every
// malloc, calloc, realloc and operator new made on the rendering thread
// while render runs is counted.
//
//   ./sound_render_bench [seconds of sound per size]
#include "bench/support/Stats.h"
#include "platform/Counter.h"
#include "sound/SoundBoard.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>
#include <vector>

// glibc's own allocator, under its own reserved names, for the counting
// replacements to call.
// NOLINTBEGIN(bugprone-reserved-identifier)
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void __libc_free(void* pointer);
}
// NOLINTEND(bugprone-reserved-identifier)

namespace {

// Set around render on the rendering thread only.
thread_local bool rendering = false;
long renderAllocations = 0;

void counted()
{
    if (rendering)
        ++renderAllocations;
}

constexpr double worstShareBudget = 0.25;

} // namespace

extern "C" {
void* malloc(std::size_t size)
{
    counted();
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size)
{
    counted();
    return __libc_calloc(count, size);
}
void* realloc(void* pointer, std::size_t size)
{
    counted();
    return __libc_realloc(pointer, size);
}
void free(void* pointer)
{
    __libc_free(pointer);
}
}

void* operator new(std::size_t size)
{
    counted();
    if (void* pointer = __libc_malloc(size ? size : 1))
        return pointer;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void operator delete(void* pointer) noexcept
{
    __libc_free(pointer);
}
void operator delete[](void* pointer) noexcept
{
    __libc_free(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept
{
    __libc_free(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept
{
    __libc_free(pointer);
}

namespace {

// A spoken name as the speech thread hands it over: half a second of a
// voiced buzz at 22050 Hz, at a voice's loudness.
std::vector<std::int16_t> clip(int index)
{
    std::vector<std::int16_t> samples(11025);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / 22050.0;
        const double buzz = std::sin(2.0 * 3.14159265358979 * (110.0 + index) * t) +
                            0.5 * std::sin(2.0 * 3.14159265358979 * 3.0 * (110.0 + index) * t);
        samples[i] = static_cast<std::int16_t>(9000.0 * buzz * std::exp(-3.0 * t));
    }
    return samples;
}

struct Figures {
    double median = 0.0;
    double nearWorst = 0.0;
    double worst = 0.0;
};

Figures figuresOf(std::vector<double> shares)
{
    std::sort(shares.begin(), shares.end());
    Figures figures;
    figures.median = bench::median(shares);
    figures.nearWorst = shares[std::min(shares.size() - 1, shares.size() * 999 / 1000)];
    figures.worst = shares.back();
    return figures;
}

double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

struct Run {
    Figures wall; // on the clock: what the device waits, preemption and all
    Figures cpu;  // on the thread's CPU time: what render itself costs
};

// Renders `seconds` of sound in buffers of `frames` at `rate` under load, as
// fast as it can; the events are stamped by the real counter as the game's
// would be, so each plays as soon as its time has come.
Run run(sound::SoundBoard& board, int frames, int rate, double seconds)
{
    const double frequency = static_cast<double>(platform::queryPerformanceFrequency());
    const double period = static_cast<double>(frames) / rate;
    const long buffers = std::lround(seconds / period);
    std::vector<float> samples(static_cast<std::size_t>(frames) * 2);
    std::vector<double> wall, cpu;
    wall.reserve(static_cast<std::size_t>(buffers));
    cpu.reserve(static_cast<std::size_t>(buffers));
    const long waveEvery = std::max(1L, std::lround(0.3 / period));
    double speed = 7.0;
    for (long b = 0; b < buffers; ++b) {
        if (b % waveEvery == 0) {
            // The space bar's forty, then their bounces, each wave slower.
            for (int cube = 0; cube < sound::SoundBoard::cubeCount; ++cube)
                board.landing(cube, 0.0, speed);
            speed = speed < 0.7 ? 7.0 : speed * 0.8;
            board.say(static_cast<int>(b / waveEvery) % sound::SoundBoard::cubeCount);
        }
        const double cpuStart = threadSeconds();
        const std::int64_t start = platform::queryPerformanceCounter();
        rendering = true;
        board.render(samples.data(), frames, rate, start);
        rendering = false;
        const std::int64_t end = platform::queryPerformanceCounter();
        cpu.push_back((threadSeconds() - cpuStart) / period);
        wall.push_back(static_cast<double>(end - start) / frequency / period);
    }
    return {figuresOf(wall), figuresOf(cpu)};
}

} // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
    // The count must see an allocation made while rendering.
    rendering = true;
    delete new int(0);
    rendering = false;
    if (renderAllocations != 1) {
        std::fprintf(stderr, "sound_render_bench: the allocation count does not work\n");
        return 1;
    }
    renderAllocations = 0;
    sound::SoundBoard board;
    for (int i = 0; i < sound::SoundBoard::cubeCount; ++i)
        board.spoken(i, clip(i), 22050);

    struct Size {
        int frames, rate;
    };
    const Size sizes[] = {{256, 48000}, {512, 48000}, {1024, 48000}, {441, 44100}};
    std::printf("render share of its buffer's period, %.0f s of sound under the heaviest load each:\n", seconds);
    bool within = true;
    const auto line = [](const char* what, const Figures& figures) {
        std::printf("    %-9s median %.2f %%, 99.9th %.2f %%, worst %.2f %%\n", what, 100.0 * figures.median,
                    100.0 * figures.nearWorst, 100.0 * figures.worst);
    };
    for (const Size size : sizes) {
        const Run figures = run(board, size.frames, size.rate, seconds);
        std::printf("  %4d frames at %d Hz (%.1f ms):  %s\n", size.frames, size.rate, 1000.0 * size.frames / size.rate,
                    bench::verdict(figures.cpu.nearWorst <= worstShareBudget));
        line("CPU", figures.cpu);
        line("on clock", figures.wall);
        within = within && figures.cpu.nearWorst <= worstShareBudget;
    }
    std::printf("allocations in render: %ld  %s\n", renderAllocations, bench::verdict(renderAllocations == 0));
    return within && renderAllocations == 0 ? 0 : 1;
}
