// JPEG through libjpeg-turbo, read straight from the file. A large photo is
// decoded at 1/2, 1/4 or 1/8 of its size by the library's scaled inverse DCT
// (the smallest that still covers the canvas), which saves most of the work;
// the canvas reduces the rest. Rows are written into the picture's own memory
// as blue, green, red, alpha bytes whenever no further reduction is needed.
//
// libjpeg reports errors through a callback that must not return: it jumps
// back to the setjmp in decodeScanlines(), which holds no C++ object. The end
// of the file before the end-of-image marker is such an error, so a photo cut
// short counts as undecodable rather than being padded with grey.
#include "platform/picture/PictureDecoders.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace platform {

namespace {

// What libjpeg may allocate for itself: a progressive or multi-scan file keeps
// every coefficient of the picture (some 3 bytes a pixel), so such files above
// about 13 megapixels are refused rather than let memory grow.
constexpr long jpegMemoryBudget = 40L << 20;

struct JpegErrors : jpeg_error_mgr {
    std::jmp_buf jump;
};

struct JpegSource : jpeg_source_mgr {
    PictureFile* file = nullptr;
    JOCTET buffer[64 * 1024];
};

extern "C" void jpegFail(j_common_ptr info)
{
    std::longjmp(static_cast<JpegErrors*>(info->err)->jump, 1);
}

extern "C" void jpegSayNothing(j_common_ptr) {}
extern "C" void jpegWarnNothing(j_common_ptr, int) {}
extern "C" void jpegStart(j_decompress_ptr) {}
extern "C" void jpegTerminate(j_decompress_ptr) {}

extern "C" boolean jpegFill(j_decompress_ptr info)
{
    auto* source = static_cast<JpegSource*>(info->src);
    const std::size_t got = source->file->read(source->buffer, sizeof source->buffer);
    if (got == 0)
        jpegFail(reinterpret_cast<j_common_ptr>(info)); // cut short: no fake end
    source->next_input_byte = source->buffer;
    source->bytes_in_buffer = got;
    return TRUE;
}

extern "C" void jpegSkip(j_decompress_ptr info, long count)
{
    auto* source = static_cast<JpegSource*>(info->src);
    while (count > static_cast<long>(source->bytes_in_buffer)) {
        count -= static_cast<long>(source->bytes_in_buffer);
        jpegFill(info);
    }
    if (count > 0) {
        source->next_input_byte += count;
        source->bytes_in_buffer -= static_cast<std::size_t>(count);
    }
}

// Adobe's CMYK files store the inks inverted: 255 is no ink.
void cmykToArgb(JSAMPROW row, int width, bool inverted)
{
    for (int x = 0; x < width; ++x) {
        JSAMPLE* pixel = row + 4 * x;
        unsigned cyan = pixel[0], magenta = pixel[1], yellow = pixel[2], black = pixel[3];
        if (!inverted) {
            cyan = 255 - cyan;
            magenta = 255 - magenta;
            yellow = 255 - yellow;
            black = 255 - black;
        }
        pixel[0] = static_cast<JSAMPLE>(yellow * black / 255);
        pixel[1] = static_cast<JSAMPLE>(magenta * black / 255);
        pixel[2] = static_cast<JSAMPLE>(cyan * black / 255);
        pixel[3] = 255;
    }
}

// The smallest of the library's fast scales (1/8, 1/4, 1/2, 1) at which the
// picture still covers the canvas, or keeps its own size where that is less.
void chooseScale(jpeg_decompress_struct& info, const PictureCanvas& canvas)
{
    const auto least = [](JDIMENSION length, int cover) {
        return std::min(length, static_cast<JDIMENSION>(PictureCanvas::enough(cover)));
    };
    const JDIMENSION wantWidth = least(info.image_width, canvas.coverWidth());
    const JDIMENSION wantHeight = least(info.image_height, canvas.coverHeight());
    info.scale_denom = 8;
    for (unsigned eighths : {1u, 2u, 4u, 8u}) {
        info.scale_num = eighths;
        jpeg_calc_output_dimensions(&info);
        if (info.output_width >= wantWidth && info.output_height >= wantHeight)
            return;
    }
}

struct JpegDecoder {
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    JpegSource source{};
    bool created = false;

    ~JpegDecoder()
    {
        if (created)
            jpeg_destroy_decompress(&info);
    }

    Status decodeScanlines(PictureFile& file, PictureCanvas& canvas)
    {
        info.err = jpeg_std_error(&errors);
        errors.error_exit = jpegFail;
        errors.output_message = jpegSayNothing;
        errors.emit_message = jpegWarnNothing;
        // Everything from here to the end of the function may jump back here.
        if (setjmp(errors.jump))
            return Status::UnknownImageFormat;
        jpeg_create_decompress(&info);
        created = true;
        info.mem->max_memory_to_use = jpegMemoryBudget;
        source.file = &file;
        source.init_source = jpegStart;
        source.fill_input_buffer = jpegFill;
        source.skip_input_data = jpegSkip;
        source.resync_to_restart = jpeg_resync_to_restart;
        source.term_source = jpegTerminate;
        info.src = &source;

        if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
            return Status::UnknownImageFormat;
        if (!PictureCanvas::fits(info.image_width, info.image_height))
            return Status::OutOfMemory;
        const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
        info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
        chooseScale(info, canvas);
        jpeg_start_decompress(&info);
        const Status begun = canvas.begin(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                                          true, PictureCanvas::Order::TopDown);
        if (begun != Status::Ok)
            return begun;
        while (info.output_scanline < info.output_height) {
            const int y = static_cast<int>(info.output_scanline);
            JSAMPROW row = reinterpret_cast<JSAMPROW>(canvas.row(y));
            if (jpeg_read_scanlines(&info, &row, 1) != 1)
                return Status::UnknownImageFormat;
            if (cmyk)
                cmykToArgb(row, static_cast<int>(info.output_width), info.saw_Adobe_marker);
            canvas.commit(y);
        }
        jpeg_finish_decompress(&info);
        return Status::Ok;
    }
};

} // namespace

Status decodeJpeg(PictureFile& file, PictureCanvas& canvas)
{
    JpegDecoder decoder;
    return decoder.decodeScanlines(file, canvas);
}

} // namespace platform
