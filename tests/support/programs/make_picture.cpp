// Writes a picture file for the whole-program tests and the benchmarks:
//
//   make_picture FORMAT WIDTH HEIGHT FILE [halves|photo|claim] [interlaced] [alpha]
//
// FORMAT is jpeg, png, gif or bmp. "halves" (the default) is red on the left,
// blue on the right and green across the bottom quarter; "photo" is smooth
// colour with grain; "claim" writes a small file whose header claims the size.
#include "tests/support/fixtures/PictureWriter.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr,
                     "usage: make_picture FORMAT WIDTH HEIGHT FILE [halves|photo|claim] [interlaced] [alpha]\n");
        return 2;
    }
    const std::string format = argv[1], file = argv[4];
    const long width = std::strtol(argv[2], nullptr, 10), height = std::strtol(argv[3], nullptr, 10);
    std::string pattern = "halves";
    testing_support::PictureOptions options;
    for (int i = 5; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "interlaced")
            options.interlaced = true;
        else if (word == "alpha")
            options.alpha = true;
        else
            pattern = word;
    }
    bool written = false;
    if (pattern == "claim")
        written = testing_support::writeClaim(format, file, static_cast<std::uint32_t>(width),
                                              static_cast<std::uint32_t>(height));
    else if (pattern == "halves" || pattern == "photo")
        written = testing_support::writePicture(
            format, file, static_cast<int>(width), static_cast<int>(height),
            pattern == "photo" ? testing_support::photo(static_cast<int>(width), static_cast<int>(height))
                               : testing_support::halves(static_cast<int>(width), static_cast<int>(height)),
            options);
    if (!written) {
        std::fprintf(stderr, "make_picture: could not write %s as %s (%s)\n", file.c_str(), format.c_str(),
                     pattern.c_str());
        return 1;
    }
    return 0;
}
