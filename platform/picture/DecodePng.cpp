// PNG through libpng, read straight from the file, row by row: every kind of
// PNG becomes 8-bit blue, green, red, alpha. Plain files go top to bottom
// through the canvas. Interlaced files deliver seven passes of scattered
// pixels; the canvas samples them, and reading stops after the last pass that
// holds a sample, so a large interlaced picture is mostly not even inflated.
//
// libpng reports errors through a callback that must not return: it jumps back
// to the setjmp in decodeRows(), which holds no C++ object. Warnings go
// nowhere.
#include "platform/picture/PictureDecoders.h"

#include <algorithm>
#include <csetjmp>
#include <png.h>
#include <vector>

namespace platform {

namespace {

extern "C" void pngFail(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

extern "C" void pngWarnNothing(png_structp, png_const_charp) {}

extern "C" void pngRead(png_structp png, png_bytep data, png_size_t length)
{
    auto* file = static_cast<PictureFile*>(png_get_io_ptr(png));
    if (file->read(data, length) != length)
        png_error(png, "cut short");
}

// Adam7: where each pass's pixels lie, x and y start and step.
constexpr int passStart[7][2] = {{0, 0}, {4, 0}, {0, 4}, {2, 0}, {0, 2}, {1, 0}, {0, 1}};
constexpr int passStep[7][2] = {{8, 8}, {8, 8}, {4, 8}, {4, 4}, {2, 4}, {2, 2}, {1, 2}};

// Whether any sample the canvas keeps (every factor-th pixel of every
// factor-th row) lies in the pass. The samples' places repeat every 8 pixels.
bool passHoldsSamples(int pass, const PictureCanvas& canvas)
{
    for (int row = 0; row < std::min(canvas.height(), 8); ++row)
        for (int column = 0; column < std::min(canvas.width(), 8); ++column) {
            const int x = column * canvas.factorX() % 8, y = row * canvas.factorY() % 8;
            if (x % passStep[pass][0] == passStart[pass][0] && y % passStep[pass][1] == passStart[pass][1])
                return true;
        }
    return false;
}

struct PngDecoder {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<std::uint32_t> passRow; // an interlaced file's pass row, up to a whole row wide

    ~PngDecoder() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }

    Status decodeRows(PictureFile& file, PictureCanvas& canvas)
    {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngFail, pngWarnNothing);
        if (!png)
            return Status::OutOfMemory;
        info = png_create_info_struct(png);
        if (!info)
            return Status::OutOfMemory;
        // Everything from here to the end of the function may jump back here.
        if (setjmp(png_jmpbuf(png)))
            return Status::UnknownImageFormat;
        png_set_read_fn(png, &file, pngRead);
        // Each chunk's CRC already guards the compressed data; checking the
        // inflated bytes again costs a twentieth of the time for nothing.
        png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
        // Text, colour profiles and every other chunk but the palette's
        // transparency are skipped unread: libpng would hold each whole, at
        // whatever length its header claims (only warning past its limit).
        png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
        png_read_info(png, info);

        png_uint_32 width = 0, height = 0;
        int depth = 0, colorType = 0, interlace = 0;
        png_get_IHDR(png, info, &width, &height, &depth, &colorType, &interlace, nullptr, nullptr);
        if (!PictureCanvas::fits(width, height))
            return Status::OutOfMemory;
        const bool opaque = (colorType & PNG_COLOR_MASK_ALPHA) == 0 && !png_get_valid(png, info, PNG_INFO_tRNS);
        png_set_expand(png);
        png_set_scale_16(png);
        png_set_gray_to_rgb(png);
        png_set_bgr(png);
        if (opaque)
            png_set_filler(png, 0xff, PNG_FILLER_AFTER);
        png_read_update_info(png, info);
        if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4)
            return Status::UnknownImageFormat;

        const int w = static_cast<int>(width), h = static_cast<int>(height);
        const bool interlaced = interlace != PNG_INTERLACE_NONE;
        const Status begun =
            canvas.begin(w, h, opaque, interlaced ? PictureCanvas::Order::Any : PictureCanvas::Order::TopDown);
        if (begun != Status::Ok)
            return begun;
        if (!interlaced) {
            for (int y = 0; y < h; ++y) {
                png_read_row(png, reinterpret_cast<png_bytep>(canvas.row(y)), nullptr);
                canvas.commit(y);
            }
            return Status::Ok;
        }
        int lastPass = 6;
        while (lastPass > 0 && !passHoldsSamples(lastPass, canvas))
            --lastPass;
        passRow.resize(width);
        for (int pass = 0; pass <= lastPass; ++pass) {
            const int columns = (w - passStart[pass][0] + passStep[pass][0] - 1) / passStep[pass][0];
            const int rows = (h - passStart[pass][1] + passStep[pass][1] - 1) / passStep[pass][1];
            if (columns <= 0 || rows <= 0)
                continue; // libpng skips empty passes too
            for (int row = 0; row < rows; ++row) {
                png_read_row(png, reinterpret_cast<png_bytep>(passRow.data()), nullptr);
                const int y = passStart[pass][1] + row * passStep[pass][1];
                if (!canvas.wanted(y))
                    continue;
                for (int column = 0; column < columns; ++column)
                    canvas.put(passStart[pass][0] + column * passStep[pass][0], y, passRow[column]);
            }
        }
        return Status::Ok;
    }
};

} // namespace

Status decodePng(PictureFile& file, PictureCanvas& canvas)
{
    PngDecoder decoder;
    return decoder.decodeRows(file, canvas);
}

} // namespace platform
