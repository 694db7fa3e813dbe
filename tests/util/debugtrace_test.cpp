#include "util/DebugTrace.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

std::string trace(int code)
{
    ::testing::internal::CaptureStderr();
    DebugTrace(L"key pressed %d, %c\n", code, traceableCharacter(code));
    return ::testing::internal::GetCapturedStderr();
}

TEST(DebugTrace, WritesOneLinePerCall)
{
    EXPECT_EQ(trace(0x41), "key pressed 65, A\n");
    EXPECT_EQ(trace(0x21), "key pressed 33, !\n");
    ::testing::internal::CaptureStderr();
    DebugTrace(L"size: %d, %d\n", 1024, 768);
    DebugTrace(L"no line feed");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "size: 1024, 768\nno line feed\n");
}

TEST(DebugTrace, AnyKeyCodeGivesAWellFormedLine)
{
    // Control characters, codes beyond one byte, beyond 16 bits and negative
    // ones must neither break the line nor fail the formatting.
    for (int code : {0, 8, 10, 13, 27, 0x7F, 0xBE, 0xFF, 0x141, 0xFFFF, 0x10000, INT_MAX, -1, INT_MIN}) {
        std::string line = trace(code);
        EXPECT_EQ(line, "key pressed " + std::to_string(code) + ", ?\n") << code;
    }
}

TEST(DebugTrace, WideTextBecomesUtf8)
{
    ::testing::internal::CaptureStderr();
    DebugTrace(L"%ls\n", L"\u00e9\u4e2d\U0001F600");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80\n");
}

TEST(DebugTrace, OverlongOutputIsReplacedNotCut)
{
    std::wstring huge(debugTraceCapacity + 10, L'x');
    ::testing::internal::CaptureStderr();
    DebugTrace(L"%ls\n", huge.c_str());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "(trace line could not be formatted)\n");

    std::wstring fits(debugTraceCapacity - 2, L'y');
    ::testing::internal::CaptureStderr();
    DebugTrace(L"%ls\n", fits.c_str());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), std::string(fits.size(), 'y') + "\n");
}

} // namespace
