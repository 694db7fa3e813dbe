// The audio thread must never allocate: the global allocation functions of
// this test program count what is asked of them while a render runs, through
// strikes, restarts, a full set of voices, names cut by names and a change
// of the device's rate.
#include "platform/Counter.h"
#include "sound/SoundBoard.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

namespace {

std::atomic<bool> counting{false};
std::atomic<int> allocations{0};

void* allocate(std::size_t size)
{
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size)
{
    return allocate(size);
}
void* operator new[](std::size_t size)
{
    return allocate(size);
}
void operator delete(void* memory) noexcept
{
    std::free(memory);
}
void operator delete[](void* memory) noexcept
{
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace {

std::vector<std::int16_t> spokenTone(int count, double step)
{
    std::vector<std::int16_t> samples;
    samples.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k)
        samples.push_back(static_cast<std::int16_t>(std::lround(9000.0 * std::sin(step * k))));
    return samples;
}

} // namespace

TEST(SoundRender, NeverAllocates)
{
    sound::SoundBoard board;
    for (int cube = 0; cube < 4; ++cube)
        board.spoken(cube, spokenTone(11025, 0.05 * (cube + 1)), 22050);

    // Each buffer starts at the counter the landings are stamped with.
    std::vector<float> samples(2 * 1024);
    int rendered = 0;
    int rate = 48000;
    auto render = [&](int frames) {
        const std::int64_t start = platform::queryPerformanceCounter();
        counting = true;
        board.render(samples.data(), frames, rate, start);
        counting = false;
        rendered += frames;
    };

    // Waves of all forty, names cut by names and repeated, while the device
    // changes its rate and its buffer size.
    for (int wave = 0; wave < 12; ++wave) {
        for (int cube = 0; cube < sound::SoundBoard::cubeCount; ++cube)
            board.landing(cube, 0.001 * (cube % 7), 7.0 - 0.5 * wave);
        board.say(wave % 4);
        board.say(wave % 4);
        if (wave == 6)
            rate = 44100;
        for (int buffer = 0; buffer < 8; ++buffer)
            render(wave % 2 == 0 ? 1024 : 333);
    }
    EXPECT_GT(rendered, 50000);
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_GT(board.mixer().activeVoices(), 0);
    EXPECT_EQ(board.droppedEvents(), 0u);
}
