// Writes the scene's 41 textures as Cairo and Pango paint them into one BMP,
// for comparison with the GDI+ build's (tests/platform/gdiplus/texture_sheet.cpp).
// Usage: texture_sheet OUT.bmp
#include "tests/support/fixtures/TextureSheet.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.bmp\n", argv[0]);
        return 2;
    }
    if (!testing_support::writeTextureSheet(argv[1])) {
        std::fprintf(stderr, "texture_sheet: cannot paint or write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
