// GDI+'s start-up as the platform calls it: the version from the input, a
// token only for a start that succeeded, and a stop that takes any token.
#include "platform/gdiplus/GdiplusStartup.h"

#include <gtest/gtest.h>

namespace {

using platform::DrawingStartupInput;

TEST(GdiplusStartup, VersionOneStartsAndStops)
{
    // GDI+ counts its starts: this one runs beside the suite's own.
    std::uintptr_t token = 0;
    unsigned lastError = 0;
    ASSERT_EQ(platform::startGdiplus(&token, DrawingStartupInput{}, lastError), 0);
    EXPECT_NE(token, 0u);
    platform::stopGdiplus(token);
}

TEST(GdiplusStartup, UnknownVersionFailsWithoutAToken)
{
    // 2 is GDI+ 1.1's own, with a larger input than the one handed over.
    for (const unsigned version : {2u, 99u}) {
        SCOPED_TRACE(version);
        DrawingStartupInput future;
        future.version = version;
        std::uintptr_t token = 7;
        unsigned lastError = 0;
        EXPECT_NE(platform::startGdiplus(&token, future, lastError), 0);
        EXPECT_EQ(token, 0u);
        platform::stopGdiplus(token); // after a failed start: nothing to do, nothing breaks
    }
}

} // namespace
