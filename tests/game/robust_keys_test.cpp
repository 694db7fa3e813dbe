// A child leaning on the keyboard, and worse: 100,000 key-downs waiting before
// the loop starts, then a flood of another 100,000 between frames, with codes
// no keyboard sends. Every one must reach keyDown in order, frames must resume
// after each burst, the heap must not grow with the number of keys, and the
// trace must stay one well-formed line per key.
#include "game/Zindle.h"
#include "tests/support/fixtures/HeadlessGLContext.h"
#include "tests/support/fixtures/ScriptedPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <sstream>
#include <string>
#include <vector>

using testing_support::ScriptedPlatform;

namespace {

class RecordingZindle : public Zindle {
public:
    using Zindle::Zindle;
    void keyDown(int virtualKey) override
    {
        keys.push_back(virtualKey);
        Zindle::keyDown(virtualKey);
    }
    std::vector<int> keys;
};

// Every code a byte can hold (but ESC, which ends the toy), and codes beyond
// any keyboard: negative, past Unicode, surrogates, the extremes of int.
std::vector<int> floodCodes()
{
    std::vector<int> codes;
    for (int code = 0; code < 256; ++code)
        if (code != platform::VK_ESCAPE)
            codes.push_back(code);
    for (int code : {-1, -27, INT_MIN, INT_MAX, 0x141, 0xD800, 0xFFFF, 0x10000, 0x10FFFF, 0x110000})
        codes.push_back(code);
    return codes;
}

long residentKilobytes()
{
    std::FILE* file = std::fopen("/proc/self/status", "r");
    if (!file)
        return 0;
    char line[256];
    long value = 0;
    while (std::fgets(line, sizeof line, file))
        if (std::sscanf(line, "VmRSS: %ld", &value) == 1)
            break;
    std::fclose(file);
    return value;
}

// "key pressed <decimal>, <one printable ASCII character>"; returns the code.
bool parseKeyLine(const std::string& line, long long& code)
{
    const std::string prefix = "key pressed ";
    if (line.compare(0, prefix.size(), prefix) != 0)
        return false;
    std::size_t at = prefix.size();
    const std::size_t start = at;
    if (at < line.size() && line[at] == '-')
        ++at;
    const std::size_t digits = at;
    while (at < line.size() && line[at] >= '0' && line[at] <= '9')
        ++at;
    if (at == digits || line.size() != at + 3 || line[at] != ',' || line[at + 1] != ' ')
        return false;
    const char shown = line[at + 2];
    if (shown < ' ' || shown > '~')
        return false;
    code = std::stoll(line.substr(start, at - start));
    return true;
}

TEST(KeyFlood, EveryKeyArrivesInOrderFramesResumeAndTheTraceStaysWellFormed)
{
    platform::HeadlessGLContext gl(256, 256);
    if (!gl.ok())
        GTEST_SKIP() << "no GL context: " << gl.error();

    constexpr int queuedKeys = 100000;
    constexpr int burstKeys = 500;
    constexpr int bursts = 200;
    constexpr int framesBetween = 10;

    ScriptedPlatform platform;
    platform.onShow = {{0, platform::WM_SIZE, 0, platform::makeLParam(256, 256)},
                       {0, platform::WM_ACTIVATE, platform::makeWParam(platform::WA_ACTIVE, 0), 0}};
    // A swap that waits for a 60 Hz display, so the frame adds no wait of
    // its own and every idle pass that is not a burst draws one frame.
    platform.onSwap = [&] {
        gl.swapBuffers();
        platform.clock.now += platform.clock.ticksPerSecond / 60 + 1;
    };
    const std::vector<int> codes = floodCodes();
    std::vector<int> sent;
    sent.reserve(queuedKeys + burstKeys * bursts);
    auto sendKey = [&] {
        const int code = codes[sent.size() % codes.size()];
        sent.push_back(code);
        platform.postKey(code);
    };
    for (int i = 0; i < queuedKeys; ++i)
        sendKey();

    auto swaps = [&] { return std::count(platform.calls.begin(), platform.calls.end(), "swapBuffers"); };
    long framesBeforeDrain = -1;
    long framesAfterDrain = 0;
    long framesAfterFlood = 0;
    long residentAfterDrain = 0;
    long residentAfterFlood = 0;
    // Heap in use just before each burst is posted and once it has been handled,
    // with no frame between: the driver's own per-frame buffers stay out of it.
    std::size_t heapBeforeBurst = 0;
    long long largestBurstGrowth = 0;
    int idle = 0;
    // Each idle pass either feeds a burst of keys or lets one frame be drawn.
    platform.whenIdle = [&] {
        ++idle;
        if (idle == 1)
            framesBeforeDrain = static_cast<long>(swaps());
        if (idle == framesBetween) {
            framesAfterDrain = static_cast<long>(swaps());
            residentAfterDrain = residentKilobytes();
        }
        const int floodEnd = framesBetween + 2 * bursts;
        if (idle > framesBetween + 1 && idle <= floodEnd + 1 && idle % 2 == 0) {
            const auto growth = static_cast<long long>(mallinfo2().uordblks) - static_cast<long long>(heapBeforeBurst);
            largestBurstGrowth = std::max(largestBurstGrowth, growth);
        }
        if (idle > framesBetween && idle <= floodEnd && idle % 2 == 1) {
            heapBeforeBurst = mallinfo2().uordblks;
            for (int i = 0; i < burstKeys; ++i)
                sendKey();
        }
        if (idle == floodEnd + framesBetween) {
            framesAfterFlood = static_cast<long>(swaps()) - framesAfterDrain;
            residentAfterFlood = residentKilobytes();
            platform.postKey(platform::VK_ESCAPE);
        }
    };

    int exitCode = -1;
    std::vector<int> received;
    ::testing::internal::CaptureStderr();
    {
        RecordingZindle toy(platform);
        toy.keys.reserve(sent.capacity());
        exitCode = toy.run();
        received = std::move(toy.keys);
    }
    const std::string trace = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(framesBeforeDrain, 0) << "a frame was drawn while keys were waiting";
    EXPECT_GE(framesAfterDrain, framesBetween - 1) << "frames did not resume after the queued keys";
    EXPECT_GE(framesAfterFlood, bursts) << "frames did not go on between the bursts";
    ASSERT_EQ(received.size(), sent.size());
    EXPECT_TRUE(received == sent) << "keys reached keyDown out of order";

    // Handling keys leaves nothing behind on the heap (a few bytes of slack for
    // the queue's own bookkeeping). Resident memory gets a looser bound for
    // the allocator's and the driver's own slack; it stays flat only because
    // every frame is presented: without swaps, Mesa's software renderer
    // queues frame after frame and its memory saws up and down by tens of MB.
    EXPECT_LE(largestBurstGrowth, 4096) << "heap in use grew by " << largestBurstGrowth << " bytes over " << burstKeys
                                        << " keys";
#ifndef __SANITIZE_ADDRESS__
    // (AddressSanitizer holds freed memory in quarantine, so not there.)
    EXPECT_LT(residentAfterFlood, residentAfterDrain + 16 * 1024)
        << "resident memory grew from " << residentAfterDrain << " to " << residentAfterFlood << " kB";
#endif

    std::istringstream lines(trace);
    std::string line;
    std::size_t keyLines = 0;
    std::size_t badLines = 0;
    std::string firstBad;
    while (std::getline(lines, line)) {
        long long code = 0;
        if (parseKeyLine(line, code)) {
            if (keyLines < sent.size() && code != sent[keyLines] && firstBad.empty())
                firstBad = "code out of order: " + line;
            ++keyLines;
        } else if (line.rfind("size: ", 0) != 0) {
            if (firstBad.empty())
                firstBad = line;
            ++badLines;
        }
    }
    EXPECT_EQ(keyLines, sent.size());
    EXPECT_EQ(badLines, 0u);
    EXPECT_EQ(firstBad, "");
}

} // namespace
