// The drawing contract's main: the library runs for the whole program, as it
// does in the toy between startDrawing and stopDrawing.
#include "tests/contract/drawing/DrawingSide.h"

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    std::string why;
    if (!drawing_side::start(why)) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return 1;
    }
    const int result = RUN_ALL_TESTS();
    drawing_side::stop();
    return result;
}
