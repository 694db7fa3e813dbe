// The splash's picture reading as the toy does it: the fuzzer's bytes are the
// whole file, told apart by their first bytes, checked against the canvas's
// limits and decoded reduced for the toy's 1024x768 window.
#include "fuzz/FuzzedFile.h"
#include "platform/picture/PictureReader.h"

namespace {

fuzzing::FuzzedFile file;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr int coverWidth = 1024, coverHeight = 768;
    platform::PicturePixels picture;
    const platform::Status status = platform::readPicture(file.hold(data, size), coverWidth, coverHeight, picture);
    if (status == platform::Status::Ok)
        fuzzing::checkPicture(picture, coverWidth, coverHeight);
    else if (picture.pixels || picture.width || picture.height)
        fuzzing::broken("pixels beside a failure");
    return 0;
}
