// The backend's own threads: COM is ready on them, and a stop is bounded even
// when the thread is held in a call that does not return.
#include "platform/win32/Win32Worker.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <atomic>
#include <chrono>

using namespace platform::win32;

namespace {

TEST(Win32Worker, RunsWithComAndStopsWhenAsked)
{
    std::atomic<int> calls{0};
    std::atomic<HRESULT> comAgain{E_FAIL};
    Worker worker(L"test", [&](WorkerSignals& signals) {
        // COM is already started in the multithreaded apartment.
        comAgain = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(comAgain.load()))
            CoUninitialize();
        while (!signals.waitForStop(1)) {
            if (signals.beginCall()) {
                ++calls;
                signals.endCall();
            }
        }
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (calls.load() < 3 && std::chrono::steady_clock::now() < deadline)
        Sleep(1);
    EXPECT_TRUE(worker.stopWithin(5000));
    EXPECT_EQ(comAgain.load(), S_FALSE);
    const int afterStop = calls.load();
    Sleep(20);
    EXPECT_EQ(calls.load(), afterStop);
    EXPECT_GE(afterStop, 3);
}

TEST(Win32Worker, AStuckThreadIsLeftAndNeverCallsTheProgramAgain)
{
    auto release = std::make_shared<std::atomic<bool>>(false);
    auto calledAfterStop = std::make_shared<std::atomic<bool>>(false);
    auto stopped = std::make_shared<std::atomic<bool>>(false);
    {
        Worker worker(L"test", [release, calledAfterStop, stopped](WorkerSignals& signals) {
            // A system call that ignores the stop, like a driver that hangs.
            while (!release->load())
                Sleep(1);
            if (signals.beginCall()) {
                calledAfterStop->store(stopped->load());
                signals.endCall();
            }
        });
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(worker.stopWithin(100));
        stopped->store(true);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    }
    release->store(true);
    Sleep(100);
    EXPECT_FALSE(calledAfterStop->load());
}

} // namespace
