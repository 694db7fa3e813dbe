// Writes the scene's 41 textures as GDI+ paints them into one BMP, for
// comparison with the Linux build's (tests/support/programs/texture_sheet.cpp).
// Usage: wine texture_sheet_gdiplus.exe OUT.bmp
#include "platform/gdiplus/GdiplusStartup.h"
#include "tests/support/fixtures/TextureSheet.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.bmp\n", argv[0]);
        return 2;
    }
    std::uintptr_t token = 0;
    unsigned lastError = 0;
    if (platform::startGdiplus(&token, platform::DrawingStartupInput{}, lastError) != 0) {
        std::fprintf(stderr, "texture_sheet: GDI+ did not start (error %u)\n", lastError);
        return 1;
    }
    const bool written = testing_support::writeTextureSheet(argv[1]);
    platform::stopGdiplus(token);
    if (!written) {
        std::fprintf(stderr, "texture_sheet: cannot paint or write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
