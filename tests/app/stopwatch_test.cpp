#include "app/Stopwatch.h"
#include "tests/support/fixtures/ScriptedPlatform.h"

#include <gtest/gtest.h>

using testing_support::ManualClock;

namespace {

class StopwatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = platform::setClock(&clock);
        Stopwatch::frequency = 0;
    }
    void TearDown() override { platform::setClock(previous); }

    ManualClock clock;
    platform::Clock* previous = nullptr;
};

TEST_F(StopwatchTest, ReadsNothingUntilStopped)
{
    clock.now = 500;
    Stopwatch watch;
    EXPECT_EQ(watch.seconds(), 0.0);
    watch.start();
    clock.now = 900000;
    EXPECT_EQ(watch.seconds(), 0.0) << "seconds() does not read the counter";
    watch.stop();
    EXPECT_DOUBLE_EQ(watch.seconds(), (900000 - 500) / 1e6);
    watch.reset();
    EXPECT_EQ(watch.seconds(), 0.0);
    EXPECT_EQ(watch.startCount, 0);
    EXPECT_EQ(watch.startTick, 0);
}

TEST_F(StopwatchTest, StopsAddUpFromTheLastStart)
{
    Stopwatch watch;
    clock.now = 1000;
    watch.start();
    clock.now = 3000;
    watch.stop();
    clock.now = 4000;
    watch.stop(); // again from the same start
    EXPECT_EQ(watch.accumulatedTicks, 2000 + 3000);
    EXPECT_EQ(watch.startCount, 1);
}

TEST_F(StopwatchTest, FrequencyIsQueriedOnceAndShared)
{
    clock.ticksPerSecond = 250;
    Stopwatch first;
    clock.ticksPerSecond = 999;
    Stopwatch second;
    EXPECT_EQ(Stopwatch::frequency, 250);
    second.start();
    clock.now = 500;
    second.stop();
    EXPECT_DOUBLE_EQ(second.seconds(), 2.0);
}

TEST_F(StopwatchTest, NoFrequencyGivesNoTime)
{
    clock.ticksPerSecond = 0;
    Stopwatch watch;
    watch.start();
    clock.now = 100;
    watch.stop();
    EXPECT_EQ(watch.seconds(), 0.0);
}

} // namespace
