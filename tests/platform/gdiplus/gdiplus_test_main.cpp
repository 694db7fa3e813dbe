// The GDI+ suites' main: GDI+ runs for the whole program, as it does in the
// toy between startDrawing and stopDrawing.
#include "platform/gdiplus/GdiplusStartup.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    std::uintptr_t token = 0;
    unsigned lastError = 0;
    if (const int status = platform::startGdiplus(&token, platform::DrawingStartupInput{}, lastError); status != 0) {
        std::fprintf(stderr, "GDI+ did not start: status %d, error %u\n", status, lastError);
        return 1;
    }
    const int result = RUN_ALL_TESTS();
    platform::stopGdiplus(token);
    return result;
}
