// One decoder straight from its entry, FUZZED_DECODER (decodeGif, decodeBmp,
// decodeJpeg or decodePng): the first two bytes choose the area to cover, 1
// to 256 pixels each way, so that small pictures are reduced by every factor;
// the rest is the file.
#include "fuzz/FuzzedFile.h"
#include "platform/picture/PictureDecoders.h"

#include <new>

namespace {

fuzzing::FuzzedFile file;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int coverWidth = 1 + data[0], coverHeight = 1 + data[1];
    platform::PictureFile picture(file.hold(data + 2, size - 2));
    if (picture.status() != platform::Status::Ok)
        fuzzing::broken("the fuzzed file does not open");
    platform::PictureCanvas canvas(coverWidth, coverHeight);
    platform::Status status = platform::Status::OutOfMemory;
    try {
        status = platform::FUZZED_DECODER(picture, canvas);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    if (status == platform::Status::Ok)
        fuzzing::checkPicture(canvas.finish(), coverWidth, coverHeight);
    return 0;
}
