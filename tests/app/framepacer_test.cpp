// The pacer on a hand-stepped clock: frames drawn as the loop draws them,
// with the swap either waiting for a simulated display or returning at once.
#include "app/FramePacer.h"
#include "tests/support/fixtures/ScriptedPlatform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using testing_support::ManualClock;

namespace {

constexpr std::int64_t ticksPerSecond = 1000000; // microseconds

class FramePacerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        clock.ticksPerSecond = ticksPerSecond;
        previous = platform::setClock(&clock);
    }
    void TearDown() override { platform::setClock(previous); }

    // One pass of the loop up to a drawn frame: waits while the pacer says
    // so, then draws for `drawTicks` and swaps. A swap that waits ends on the
    // display's next refresh (every `vblank` ticks; 0 for none). Returns the
    // time the frame started.
    std::int64_t frame(FramePacer& pacer, std::int64_t drawTicks, std::int64_t vblank = 0)
    {
        while (true) {
            const double wait = pacer.secondsToWait();
            if (wait <= 0.0)
                break;
            waited += wait;
            clock.now += std::llround(wait * ticksPerSecond);
        }
        pacer.frameStarting();
        const std::int64_t start = clock.now;
        clock.now += drawTicks;
        if (vblank > 0)
            clock.now = (clock.now / vblank + 1) * vblank;
        starts.push_back(start);
        return start;
    }

    ManualClock clock;
    platform::Clock* previous = nullptr;
    double waited = 0.0;
    std::vector<std::int64_t> starts;
};

TEST_F(FramePacerTest, AnUnknownRefreshRateIsSixtyAndAKnownOneIsKept)
{
    EXPECT_EQ(FramePacer(0).periodTicks(), ticksPerSecond / 60);
    EXPECT_EQ(FramePacer(-5).periodTicks(), ticksPerSecond / 60);
    EXPECT_EQ(FramePacer(144).periodTicks(), ticksPerSecond / 144);
}

TEST_F(FramePacerTest, WithoutVsyncFramesComeOncePerPeriodHoweverFastTheyAreDrawn)
{
    FramePacer pacer(0);
    for (int i = 0; i < 300; ++i)
        frame(pacer, 1000); // 1 ms a frame: 1000 frames a second unpaced
    EXPECT_FALSE(pacer.swapWaits());
    // From the third frame on (the second shows the swap does not wait) the
    // frames keep the grid: a frame drawn at once to measure the swap comes
    // up to a period early, never adding a frame to the count.
    const std::int64_t period = pacer.periodTicks();
    for (std::size_t i = 3; i < starts.size(); ++i) {
        const auto turn = starts[2] + static_cast<std::int64_t>(i - 2) * period;
        EXPECT_LE(starts[i], turn) << i;
        EXPECT_GT(starts[i], turn - period) << i;
        EXPECT_GT(starts[i], starts[i - 1]) << i;
    }
}

TEST_F(FramePacerTest, ASwapThatWaitsForTheDisplayGetsNoWaitOfItsOwnAtAnyRate)
{
    for (int rate : {60, 75, 100, 144, 240}) {
        const std::int64_t vblank = ticksPerSecond / rate;
        // At 60 Hz the platform may not know the rate.
        FramePacer pacer(rate == 60 ? 0 : rate);
        waited = 0.0;
        for (int i = 0; i < 200; ++i)
            frame(pacer, vblank / 3, vblank);
        EXPECT_TRUE(pacer.swapWaits()) << rate;
        EXPECT_EQ(waited, 0.0) << rate;
    }
}

TEST_F(FramePacerTest, ASwapThatStartsWaitingLaterIsNoticedAndPacingStops)
{
    FramePacer pacer(60);
    const std::int64_t vblank = pacer.periodTicks();
    for (int i = 0; i < 20; ++i)
        frame(pacer, 2000);
    ASSERT_FALSE(pacer.swapWaits());
    // Vsync comes into effect (the driver honours it from now on).
    for (int i = 0; i < FramePacer::waitsToBelieve * (FramePacer::probeEvery + 1) + 2; ++i)
        frame(pacer, 2000, vblank);
    EXPECT_TRUE(pacer.swapWaits());
    waited = 0.0;
    for (int i = 0; i < 50; ++i)
        frame(pacer, 2000, vblank);
    EXPECT_EQ(waited, 0.0);
    // And when it stops waiting again, one frame drawn at once says so.
    frame(pacer, 2000);
    frame(pacer, 2000);
    EXPECT_FALSE(pacer.swapWaits());
}

TEST_F(FramePacerTest, OneSlowFrameIsNotTakenForAWaitingSwap)
{
    FramePacer pacer(60);
    for (int i = 0; i < 5; ++i)
        frame(pacer, 1000);
    frame(pacer, 1000);
    // Every frame drawn at once that comes out long looks like a waiting
    // swap; one alone (a stall inside the frame) is not believed.
    for (int i = 0; i < 200; ++i)
        frame(pacer, i % FramePacer::probeEvery == 0 ? 40000 : 1000);
    EXPECT_FALSE(pacer.swapWaits());
}

TEST_F(FramePacerTest, ALongStallDoesNotCauseABurstOfCatchUpFrames)
{
    FramePacer pacer(60);
    const std::int64_t period = pacer.periodTicks();
    for (int i = 0; i < 10; ++i)
        frame(pacer, 1000);
    // A stall of a second (the machine busy, the window minimized): the
    // next frame comes at once, and the ones after it a period apart.
    clock.now += ticksPerSecond;
    const std::int64_t resumed = clock.now;
    const std::int64_t first = frame(pacer, 1000);
    EXPECT_EQ(first, resumed);
    const std::int64_t second = frame(pacer, 1000);
    const std::int64_t third = frame(pacer, 1000);
    EXPECT_GE(second - first, period);
    EXPECT_GE(third - second, period);

    // Two periods late, the same: no frame is made up.
    clock.now += 2 * period;
    const std::int64_t fourth = frame(pacer, 1000);
    EXPECT_GE(frame(pacer, 1000) - fourth, period);
}

TEST_F(FramePacerTest, AFrameALittleLateKeepsTheGridSoTheRateHolds)
{
    FramePacer pacer(50); // 20 ms
    for (int i = 0; i < 5; ++i)
        frame(pacer, 1000);
    const std::int64_t before = frame(pacer, 1000);
    clock.now += 25000; // this frame's turn passes by 5 ms
    const std::int64_t late = frame(pacer, 1000);
    const std::int64_t next = frame(pacer, 1000);
    EXPECT_EQ(late - before, 26000);
    EXPECT_EQ(next - before, 40000) << "the next frame comes on its usual turn";

    // Woken most of a period late, the frame after it still comes on its
    // turn (here at once), so the rate holds on a busy machine.
    const std::int64_t turn = next + 20000;
    clock.now = turn + 19000;
    const std::int64_t woken = frame(pacer, 1000);
    const std::int64_t madeUp = frame(pacer, 1000);
    EXPECT_EQ(woken, turn + 19000);
    EXPECT_EQ(madeUp, woken + 1000);
    EXPECT_EQ(frame(pacer, 1000), turn + 40000);
}

} // namespace
