// GIF through giflib, read straight from the file: the first picture of the
// file (an animation shows its first frame), placed on its logical screen,
// which is transparent where the frame does not reach. Plain frames go top to
// bottom through the canvas; interlaced frames arrive in four passes of rows,
// of which the canvas keeps the rows it samples. giflib prints nothing.
#include "platform/PictureDecoders.h"

#include <algorithm>
#include <gif_lib.h>
#include <vector>

namespace platform {

namespace {

extern "C" int gifRead(GifFileType* gif, GifByteType* bytes, int count)
{
    auto* file = static_cast<PictureFile*>(gif->UserData);
    return count > 0 ? static_cast<int>(file->read(bytes, static_cast<std::size_t>(count))) : 0;
}

struct GifDecoder {
    GifFileType* gif = nullptr;
    int transparent = -1; // the palette index that is see-through, if any
    std::vector<GifPixelType> indices;
    std::uint32_t colors[256] = {};

    ~GifDecoder()
    {
        if (gif)
            DGifCloseFile(gif, nullptr);
    }

    // Skips extensions up to the first picture, noting its transparent index.
    bool findPicture()
    {
        for (;;) {
            GifRecordType record = UNDEFINED_RECORD_TYPE;
            if (DGifGetRecordType(gif, &record) != GIF_OK)
                return false;
            if (record == IMAGE_DESC_RECORD_TYPE)
                return DGifGetImageDesc(gif) == GIF_OK;
            if (record != EXTENSION_RECORD_TYPE)
                return false; // the end, with no picture
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) != GIF_OK)
                return false;
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
                GraphicsControlBlock control{};
                if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
                    transparent = control.TransparentColor;
            }
            while (block)
                if (DGifGetExtensionNext(gif, &block) != GIF_OK)
                    return false;
        }
    }

    // One screen row: the frame's pixels from `left`, transparent elsewhere.
    void paintRow(std::uint32_t* row, int screenWidth, int left, int frameWidth)
    {
        std::fill(row, row + screenWidth, 0u);
        const int end = std::min(screenWidth, left + frameWidth);
        for (int x = std::max(0, left); x < end; ++x)
            row[x] = colors[indices[static_cast<std::size_t>(x - left)]];
    }

    Status decode(PictureFile& file, PictureCanvas& canvas)
    {
        int error = 0;
        gif = DGifOpen(&file, gifRead, &error);
        if (!gif || !findPicture())
            return Status::UnknownImageFormat;
        const GifImageDesc& frame = gif->Image;
        // Some writers leave the screen empty; the frame then sets the size.
        const int screenWidth = gif->SWidth > 0 ? gif->SWidth : frame.Left + frame.Width;
        const int screenHeight = gif->SHeight > 0 ? gif->SHeight : frame.Top + frame.Height;
        if (!PictureCanvas::fits(screenWidth, screenHeight) || !PictureCanvas::fits(frame.Width, frame.Height))
            return Status::OutOfMemory;
        const ColorMapObject* palette = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
        if (!palette || !palette->Colors)
            return Status::UnknownImageFormat;
        std::fill(std::begin(colors), std::end(colors), 0xff000000u);
        for (int i = 0; i < std::min(palette->ColorCount, 256); ++i) {
            const GifColorType& color = palette->Colors[i];
            colors[i] = 0xff000000u | std::uint32_t{color.Red} << 16 | std::uint32_t{color.Green} << 8 | color.Blue;
        }
        if (transparent >= 0 && transparent < 256)
            colors[transparent] = 0;
        const bool covers = frame.Left <= 0 && frame.Top <= 0 && frame.Left + frame.Width >= screenWidth &&
                            frame.Top + frame.Height >= screenHeight;
        const bool opaque = covers && transparent < 0;
        const auto order = frame.Interlace ? PictureCanvas::Order::Any : PictureCanvas::Order::TopDown;
        const Status begun = canvas.begin(screenWidth, screenHeight, opaque, order);
        if (begun != Status::Ok)
            return begun;
        indices.resize(static_cast<std::size_t>(frame.Width));

        if (!frame.Interlace) {
            for (int y = 0; y < screenHeight; ++y) {
                const int frameRow = y - frame.Top;
                if (frameRow >= 0 && frameRow < frame.Height) {
                    if (DGifGetLine(gif, indices.data(), frame.Width) != GIF_OK)
                        return Status::UnknownImageFormat;
                    paintRow(canvas.row(y), screenWidth, frame.Left, frame.Width);
                } else {
                    std::fill(canvas.row(y), canvas.row(y) + screenWidth, 0u);
                }
                canvas.commit(y);
            }
            // Rows of a frame reaching past the screen's foot are not needed.
            return Status::Ok;
        }
        constexpr int passStart[] = {0, 4, 2, 1}, passStep[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int frameRow = passStart[pass]; frameRow < frame.Height; frameRow += passStep[pass]) {
                if (DGifGetLine(gif, indices.data(), frame.Width) != GIF_OK)
                    return Status::UnknownImageFormat;
                const int y = frame.Top + frameRow;
                if (y >= 0 && y < screenHeight && canvas.wanted(y)) {
                    paintRow(canvas.row(y), screenWidth, frame.Left, frame.Width);
                    canvas.commit(y);
                }
            }
        return Status::Ok;
    }
};

} // namespace

Status decodeGif(PictureFile& file, PictureCanvas& canvas)
{
    GifDecoder decoder;
    return decoder.decode(file, canvas);
}

} // namespace platform
