// GIF, read by this code itself: the first picture of the file (an animation
// shows its first frame), placed on its logical screen, which is transparent
// where the frame does not reach. The LZW codes are unpacked straight into a
// row of palette indices; plain frames go top to bottom through the canvas,
// interlaced ones arrive in four passes of rows, of which the canvas keeps the
// rows it samples. A frame whose data ends early, or holds a code that cannot
// be, is refused.
#include "platform/picture/ByteOrder.h"
#include "platform/picture/PictureDecoders.h"

#include <algorithm>
#include <array>
#include <vector>

namespace platform {

namespace {

// The frame's data: sub-blocks of up to 255 bytes, read a bit at a time
// from the lowest bit up, as LZW codes of 3 to 12 bits.
class CodeReader {
public:
    explicit CodeReader(PictureFile& source) : file(source) {}

    // The next code, or -1 where the data ends first.
    int next(int width)
    {
        while (count < width) {
            if (at == size && !refill())
                return -1;
            bits |= std::uint32_t{block[at++]} << count;
            count += 8;
        }
        const int code = static_cast<int>(bits & ((1u << width) - 1));
        bits >>= width;
        count -= width;
        return code;
    }

    // Reads up to and past the terminating empty sub-block.
    bool skipRest()
    {
        while (!ended)
            if (!refill() && !ended)
                return false;
        return true;
    }

private:
    bool refill()
    {
        std::uint8_t length = 0;
        if (ended || file.read(&length, 1) != 1 || length == 0) {
            ended = true;
            return false;
        }
        size = file.read(block.data(), length);
        at = 0;
        return size == length;
    }

    PictureFile& file;
    std::array<std::uint8_t, 255> block{};
    std::size_t size = 0, at = 0;
    std::uint32_t bits = 0;
    int count = 0;
    bool ended = false;
};

// Skips a run of sub-blocks up to its terminator.
bool skipBlocks(PictureFile& file)
{
    for (;;) {
        std::uint8_t length = 0;
        if (file.read(&length, 1) != 1)
            return false;
        if (length == 0)
            return true;
        std::uint8_t skipped[255];
        if (file.read(skipped, length) != length)
            return false;
    }
}

struct Frame {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
};

struct GifDecoder {
    PictureFile& file;
    PictureCanvas& canvas;
    int transparent = -1; // the palette index that is see-through, if any
    std::uint32_t colors[256] = {};
    std::vector<std::uint8_t> indices; // one row of the frame

    GifDecoder(PictureFile& source, PictureCanvas& target) : file(source), canvas(target) {}

    bool readPalette(int entries)
    {
        std::uint8_t rgb[256 * 3];
        if (file.read(rgb, static_cast<std::size_t>(entries) * 3) != static_cast<std::size_t>(entries) * 3)
            return false;
        std::fill(std::begin(colors), std::end(colors), 0xff000000u);
        for (int i = 0; i < entries; ++i)
            colors[i] =
                0xff000000u | std::uint32_t{rgb[3 * i]} << 16 | std::uint32_t{rgb[3 * i + 1]} << 8 | rgb[3 * i + 2];
        return true;
    }

    // Skips extensions up to the first picture's descriptor, noting its
    // transparent index; false at the end of the file or of its data.
    bool findFrame(Frame& frame, bool& ownPalette, int& paletteSize)
    {
        for (;;) {
            std::uint8_t introducer = 0;
            if (file.read(&introducer, 1) != 1)
                return false;
            if (introducer == 0x2c) {
                std::uint8_t descriptor[9];
                if (file.read(descriptor, sizeof descriptor) != sizeof descriptor)
                    return false;
                frame = {static_cast<int>(le16(descriptor)), static_cast<int>(le16(descriptor + 2)),
                         static_cast<int>(le16(descriptor + 4)), static_cast<int>(le16(descriptor + 6)),
                         (descriptor[8] & 0x40) != 0};
                ownPalette = (descriptor[8] & 0x80) != 0;
                paletteSize = 2 << (descriptor[8] & 7);
                return true;
            }
            std::uint8_t label = 0;
            if (introducer != 0x21 || file.read(&label, 1) != 1)
                return false;
            if (label == 0xf9) { // graphic control: the transparent index
                std::uint8_t control[5];
                if (file.read(control, sizeof control) != sizeof control)
                    return false;
                if (control[0] == 4) {
                    transparent = control[1] & 1 ? control[4] : -1;
                } else if (control[0] == 0) {
                    continue;
                } else {
                    std::uint8_t rest[255];
                    if (control[0] > 4 && file.read(rest, control[0] - 4u) != control[0] - 4u)
                        return false;
                }
            }
            if (!skipBlocks(file))
                return false;
        }
    }

    // One screen row: the frame's pixels from its left edge, transparent elsewhere.
    void paintRow(std::uint32_t* row, int screenWidth, const Frame& frame)
    {
        std::fill(row, row + screenWidth, 0u);
        const int end = std::min(screenWidth, frame.left + frame.width);
        for (int x = frame.left; x < end; ++x)
            row[x] = colors[indices[static_cast<std::size_t>(x - frame.left)]];
    }

    // The screen row that the frame's n-th decoded row belongs on.
    static int rowOf(int n, const Frame& frame)
    {
        if (!frame.interlaced)
            return frame.top + n;
        constexpr int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass) {
            const int rows = (frame.height - start[pass] + step[pass] - 1) / step[pass];
            if (n < rows)
                return frame.top + start[pass] + n * step[pass];
            n -= std::max(rows, 0);
        }
        return -1;
    }

    // Unpacks the LZW data a row at a time, handing each to `done`.
    template <typename RowDone>
    bool unpack(int minimumSize, int width, int height, RowDone done)
    {
        const int clear = 1 << minimumSize, end = clear + 1;
        std::array<std::uint16_t, 4096> prefix{};
        std::array<std::uint8_t, 4096> suffix{}, first{};
        std::array<std::uint16_t, 4096> length{};
        std::array<std::uint8_t, 4096> string{};
        for (int code = 0; code < clear; ++code) {
            suffix[code] = first[code] = static_cast<std::uint8_t>(code);
            length[code] = 1;
        }
        CodeReader codes(file);
        int size = minimumSize + 1, next = clear + 2, previous = -1;
        int x = 0, row = 0;
        while (row < height) {
            const int code = codes.next(size);
            if (code < 0 || code == end)
                return false; // the rows ran out
            if (code == clear) {
                size = minimumSize + 1;
                next = clear + 2;
                previous = -1;
                continue;
            }
            int value = code;
            if (previous < 0) {
                if (code >= clear)
                    return false;
            } else if (code > next || (code == next && next == 4096)) {
                return false;
            } else if (next < 4096) {
                // The new entry: the previous string and the first of this
                // one (of the previous one, for the code being defined now).
                prefix[next] = static_cast<std::uint16_t>(previous);
                suffix[next] = first[code == next ? previous : code];
                first[next] = first[previous];
                length[next] = static_cast<std::uint16_t>(length[previous] + 1);
                if (++next == 1 << size && size < 12)
                    ++size;
            }
            previous = value;
            const int count = length[value];
            if (x + count < width) { // the common case: the string fits in the row
                for (int i = x + count - 1; i >= x; --i, value = prefix[value])
                    indices[static_cast<std::size_t>(i)] = suffix[value];
                x += count;
                continue;
            }
            for (int i = count - 1; i >= 0; --i, value = prefix[value])
                string[i] = suffix[value];
            for (int i = 0; i < count && row < height;) {
                const int take = std::min(count - i, width - x);
                std::copy_n(string.data() + i, take, indices.data() + x);
                i += take;
                x += take;
                if (x == width) {
                    done(row++);
                    x = 0;
                }
            }
        }
        return codes.skipRest();
    }

    Status decode()
    {
        std::uint8_t header[13];
        if (file.read(header, sizeof header) != sizeof header)
            return Status::UnknownImageFormat;
        int screenWidth = static_cast<int>(le16(header + 6)), screenHeight = static_cast<int>(le16(header + 8));
        if (header[10] & 0x80 && !readPalette(2 << (header[10] & 7)))
            return Status::UnknownImageFormat;
        const bool globalPalette = (header[10] & 0x80) != 0;
        Frame frame;
        bool ownPalette = false;
        int paletteSize = 0;
        if (!findFrame(frame, ownPalette, paletteSize))
            return Status::UnknownImageFormat;
        // Some writers leave the screen empty; the frame then sets the size.
        if (screenWidth == 0 || screenHeight == 0) {
            screenWidth = frame.left + frame.width;
            screenHeight = frame.top + frame.height;
        }
        if (!PictureCanvas::fits(screenWidth, screenHeight) || !PictureCanvas::fits(frame.width, frame.height))
            return Status::OutOfMemory;
        if (ownPalette ? !readPalette(paletteSize) : !globalPalette)
            return Status::UnknownImageFormat;
        if (transparent >= 0)
            colors[transparent] = 0;
        std::uint8_t minimumSize = 0;
        if (file.read(&minimumSize, 1) != 1 || minimumSize < 1 || minimumSize > 11)
            return Status::UnknownImageFormat;

        const bool covers =
            frame.left == 0 && frame.top == 0 && frame.width >= screenWidth && frame.height >= screenHeight;
        const auto order = frame.interlaced ? PictureCanvas::Order::Any : PictureCanvas::Order::TopDown;
        if (Status begun = canvas.begin(screenWidth, screenHeight, covers && transparent < 0, order);
            begun != Status::Ok)
            return begun;
        indices.assign(static_cast<std::size_t>(frame.width), 0);

        // Rows above the frame, and below it, are see-through; plain frames
        // must give the canvas every row in order.
        int nextRow = 0;
        const auto emptyRowsUpTo = [&](int y) {
            for (; nextRow < std::min(y, screenHeight); ++nextRow) {
                std::fill(canvas.row(nextRow), canvas.row(nextRow) + screenWidth, 0u);
                canvas.commit(nextRow);
            }
        };
        const bool unpacked = unpack(minimumSize, frame.width, frame.height, [&](int n) {
            const int y = rowOf(n, frame);
            if (y < 0 || y >= screenHeight || !canvas.wanted(y))
                return;
            if (!frame.interlaced)
                emptyRowsUpTo(y);
            paintRow(canvas.row(y), screenWidth, frame);
            canvas.commit(y);
            nextRow = y + 1;
        });
        if (!unpacked)
            return Status::UnknownImageFormat;
        if (!frame.interlaced)
            emptyRowsUpTo(screenHeight);
        return Status::Ok;
    }
};

} // namespace

Status decodeGif(PictureFile& file, PictureCanvas& canvas)
{
    GifDecoder decoder(file, canvas);
    return decoder.decode();
}

} // namespace platform
