// The board between the threads: landings stamped on the performance counter
// and placed by it, names said only once their clip has arrived, bad input
// from any side ignored, and the queue and the limiter it relies on.
#include "platform/Counter.h"
#include "sound/EventQueue.h"
#include "sound/Limiter.h"
#include "sound/SoundBoard.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <thread>
#include <vector>

namespace {

// A counter the test moves by hand, in microseconds.
class HandClock : public platform::Clock {
public:
    std::int64_t frequency() override { return 1000000; }
    std::int64_t counter() override { return now; }
    std::int64_t now = 5000000;
};

class SoundBoardTest : public ::testing::Test {
protected:
    void SetUp() override { previous = platform::setClock(&clock); }
    void TearDown() override { platform::setClock(previous); }

    // Renders `frames` frames at 48 kHz with the buffer starting at `counter`.
    std::vector<float> render(int frames, std::int64_t counter)
    {
        std::vector<float> samples(2 * static_cast<std::size_t>(frames), 1.0f);
        board.render(samples.data(), frames, 48000, counter);
        return samples;
    }

    static int firstSound(const std::vector<float>& samples)
    {
        for (std::size_t k = 0; k < samples.size(); ++k)
            if (samples[k] != 0.0f)
                return static_cast<int>(k / 2);
        return -1;
    }

    HandClock clock;
    platform::Clock* previous = nullptr;
    sound::SoundBoard board;
};

std::vector<std::int16_t> tone(int count)
{
    std::vector<std::int16_t> samples;
    samples.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k)
        samples.push_back(static_cast<std::int16_t>(std::lround(8000.0 * std::cos(0.1 * k))));
    return samples;
}

} // namespace

TEST_F(SoundBoardTest, ALandingIsPlacedByTheCounterAtItsMoment)
{
    // Handed over 30 ms after it happened; the buffer starts 10 ms after the
    // landing: it sounds 25 - 10 = 15 ms into the buffer.
    board.landing(10, 0.030, 7.0);
    const std::vector<float> samples = render(4096, clock.now - 20000);
    EXPECT_EQ(firstSound(samples), 720);
}

TEST_F(SoundBoardTest, NamesOnlyOnceTheirClipHasArrived)
{
    board.say(3);
    EXPECT_EQ(firstSound(render(1024, clock.now)), -1);

    board.spoken(3, tone(22050), 22050);
    EXPECT_EQ(firstSound(render(1024, clock.now)), -1) << "said before its clip came: not said later";
    board.say(3);
    EXPECT_EQ(firstSound(render(1024, clock.now)), board.mixer().latencyFrames());
    EXPECT_EQ(board.mixer().speech().speakingCube(), 3);

    // A later clip for the same cube takes over from the next name on, while
    // the one playing plays on.
    board.spoken(3, tone(100), 22050);
    render(4096, clock.now);
    EXPECT_EQ(board.mixer().speech().speakingCube(), 3);
}

TEST_F(SoundBoardTest, BadInputFromAnySideIsIgnored)
{
    for (int cube : {-1, 40, 1000}) {
        board.landing(cube, 0.0, 7.0);
        board.say(cube);
        board.spoken(cube, tone(100), 22050);
    }
    board.landing(5, std::nan(""), 7.0);
    board.landing(5, 0.0, std::numeric_limits<double>::infinity());
    board.landing(5, -3.0, -7.0);
    board.spoken(6, {}, 22050);
    board.spoken(7, tone(100), 0);
    board.spoken(8, tone(100), -22050);
    board.say(6);
    board.say(7);
    board.say(8);
    EXPECT_EQ(firstSound(render(8192, clock.now)), -1);

    // A device rate of nothing, or of nonsense: silence, not a crash.
    std::vector<float> samples(512, 1.0f);
    board.landing(5, 0.0, 7.0);
    for (int rate : {0, -48000, 10, 100000000}) {
        board.render(samples.data(), 256, rate, clock.now);
        EXPECT_EQ(firstSound(samples), -1) << rate;
    }
    board.render(nullptr, 256, 48000, clock.now);
    board.render(samples.data(), 0, 48000, clock.now);
}

TEST(SoundEventQueue, KeepsOrderAndCountsWhatItDrops)
{
    sound::EventQueue<int, 4> queue;
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(queue.push(k), k < 4) << k;
    EXPECT_EQ(queue.dropped(), 2u);
    int item = -1;
    for (int k = 0; k < 4; ++k) {
        ASSERT_TRUE(queue.pop(item));
        EXPECT_EQ(item, k);
    }
    EXPECT_FALSE(queue.pop(item));
    EXPECT_TRUE(queue.push(9));

    // Between two threads: every item arrives once and in order.
    sound::EventQueue<std::int64_t, 64> shared;
    constexpr std::int64_t count = 200000;
    std::thread producer([&] {
        for (std::int64_t k = 0; k < count; ++k)
            while (!shared.push(k))
                std::this_thread::yield();
    });
    std::int64_t expected = 0;
    std::int64_t value = 0;
    while (expected < count) {
        if (shared.pop(value)) {
            ASSERT_EQ(value, expected);
            ++expected;
        }
    }
    producer.join();
}

TEST(SoundLimiter, HoldsTheCeilingAndLeavesQuietSoundAlone)
{
    sound::Limiter limiter(0.5f);
    limiter.configure(48000);
    const int delay = limiter.delayFrames();
    EXPECT_EQ(delay, 71);

    // Quiet: the same sound, later by the look-ahead.
    std::vector<float> quiet(2 * 2000);
    for (std::size_t k = 0; k < quiet.size(); ++k)
        quiet[k] = static_cast<float>(0.4 * std::sin(0.01 * static_cast<double>(k)));
    std::vector<float> out = quiet;
    limiter.process(out.data(), 2000);
    for (int frame = delay; frame < 2000; ++frame)
        ASSERT_EQ(out[2 * frame], quiet[2 * (frame - delay)]) << frame;

    // A sudden burst eight times too loud: never over the ceiling, and the
    // gain moves smoothly (no step larger than a look-ahead's share).
    std::vector<float> burst(2 * 48000, 0.0f);
    for (int frame = 1000; frame < 1600; ++frame)
        burst[2 * frame] = burst[2 * frame + 1] = static_cast<float>(4.0 * std::sin(0.05 * frame));
    limiter.process(burst.data(), 48000);
    float peak = 0.0f;
    for (float sample : burst)
        peak = std::max(peak, std::fabs(sample));
    EXPECT_LE(peak, 0.5f);
    EXPECT_GT(peak, 0.45f);
}
