// BMP, read by this code itself: the 12-byte OS/2 header and the 16- to
// 124-byte Windows headers; 1, 4 and 8 bits a pixel through a palette, 16 and
// 32 bits through bit fields (alpha only where the fields name it), 24 bits
// as blue, green, red; uncompressed or, at 8 and 4 bits, run-length encoded.
// Uncompressed rows lie at known offsets, so they are read top to bottom
// whichever way the file stores them; run-length rows come bottom up and the
// canvas samples them. A file too short for the rows it claims is refused.
#include "platform/picture/ByteOrder.h"
#include "platform/picture/PictureDecoders.h"

#include <algorithm>
#include <bit>
#include <vector>

namespace platform {

namespace {

enum Compression : std::uint32_t { Plain = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6 };

// One channel under a bit mask, widened or narrowed to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t top = 0; // the largest value under the mask
    Channel() = default;
    explicit Channel(std::uint32_t bits) : mask(bits)
    {
        if (mask) {
            shift = std::countr_zero(mask);
            top = mask >> shift;
        }
    }
    std::uint32_t operator()(std::uint32_t pixel) const { return top ? ((pixel & mask) >> shift) * 255 / top : 0; }
};

// The file's bytes from an offset on, a buffer at a time, for run-length data.
struct ByteStream {
    PictureFile& file;
    std::vector<std::uint8_t> buffer = std::vector<std::uint8_t>(64 * 1024);
    std::size_t have = 0, at = 0;

    ByteStream(PictureFile& source, std::uint64_t offset) : file(source) { file.seek(offset); }

    int next()
    {
        if (at == have) {
            have = file.read(buffer.data(), buffer.size());
            at = 0;
            if (have == 0)
                return -1;
        }
        return buffer[at++];
    }
};

struct BmpDecoder {
    PictureFile& file;
    PictureCanvas& canvas;
    int width = 0, height = 0, bits = 0;
    bool topDown = false;
    std::uint32_t compression = Plain;
    std::uint64_t pixelOffset = 0;
    Channel red, green, blue, alpha;
    std::uint32_t palette[256] = {};

    BmpDecoder(PictureFile& source, PictureCanvas& target) : file(source), canvas(target) {}

    Status readHeader()
    {
        std::uint8_t head[14 + 124 + 16] = {};
        const std::uint64_t length = std::min<std::uint64_t>(file.size(), sizeof head);
        if (length < 26 || !file.readAt(0, head, static_cast<std::size_t>(length)))
            return Status::UnknownImageFormat;
        pixelOffset = le32(head + 10);
        const std::uint32_t headerSize = le32(head + 14);
        std::uint32_t colorsUsed = 0, masksAt = 0;
        std::int64_t claimedHeight = 0;
        int paletteEntry = 4;
        if (headerSize == 12) {
            width = static_cast<int>(le16(head + 18));
            claimedHeight = le16(head + 20);
            bits = static_cast<int>(le16(head + 24));
            paletteEntry = 3;
        } else if (headerSize >= 16 && headerSize <= 124 && length >= 14 + std::uint64_t{headerSize}) {
            width = static_cast<std::int32_t>(le32(head + 18));
            claimedHeight = static_cast<std::int32_t>(le32(head + 22));
            bits = static_cast<int>(le16(head + 28));
            if (headerSize >= 40) {
                compression = le32(head + 30);
                colorsUsed = le32(head + 46);
            }
            if (headerSize == 64 && compression >= BitFields) // OS/2's Huffman and 24-bit runs
                return Status::UnknownImageFormat;
            if (compression == BitFields || compression == AlphaBitFields)
                masksAt = headerSize >= 52 ? 54 : 14 + headerSize;
        } else {
            return Status::UnknownImageFormat;
        }
        topDown = claimedHeight < 0;
        if (!PictureCanvas::fits(width, topDown ? -claimedHeight : claimedHeight))
            return Status::OutOfMemory;
        height = static_cast<int>(topDown ? -claimedHeight : claimedHeight);

        const bool known =
            (compression == Plain && (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32)) ||
            (compression == Rle8 && bits == 8 && !topDown) || (compression == Rle4 && bits == 4 && !topDown) ||
            ((compression == BitFields || compression == AlphaBitFields) && (bits == 16 || bits == 32));
        if (!known)
            return Status::UnknownImageFormat;

        std::uint64_t paletteAt = 14 + std::uint64_t{headerSize};
        if (masksAt) {
            const bool withAlpha = compression == AlphaBitFields || headerSize >= 56;
            std::uint8_t masks[16] = {};
            if (!file.readAt(masksAt, masks, withAlpha ? 16 : 12))
                return Status::UnknownImageFormat;
            red = Channel(le32(masks));
            green = Channel(le32(masks + 4));
            blue = Channel(le32(masks + 8));
            alpha = Channel(withAlpha ? le32(masks + 12) : 0);
            if (headerSize < 52)
                paletteAt += compression == AlphaBitFields ? 16 : 12;
        } else if (bits == 16) {
            red = Channel(0x7c00), green = Channel(0x03e0), blue = Channel(0x001f);
        } else if (bits == 32) {
            red = Channel(0xff0000), green = Channel(0xff00), blue = Channel(0xff);
        }
        if (bits <= 8)
            return readPalette(paletteAt, colorsUsed, paletteEntry);
        return Status::Ok;
    }

    Status readPalette(std::uint64_t at, std::uint32_t colorsUsed, int entrySize)
    {
        const std::uint32_t most = 1u << bits;
        const std::uint32_t count = colorsUsed > 0 && colorsUsed < most ? colorsUsed : most;
        std::uint8_t entries[256 * 4];
        // Some writers leave the unused tail of the palette out.
        std::uint32_t present = count;
        while (present > 0 && !file.readAt(at, entries, present * static_cast<std::uint32_t>(entrySize)))
            present /= 2;
        if (present == 0)
            return Status::UnknownImageFormat;
        std::fill(std::begin(palette), std::end(palette), 0xff000000u);
        for (std::uint32_t i = 0; i < present; ++i) {
            const std::uint8_t* entry = entries + i * static_cast<std::uint32_t>(entrySize);
            palette[i] = 0xff000000u | std::uint32_t{entry[2]} << 16 | std::uint32_t{entry[1]} << 8 | entry[0];
        }
        return Status::Ok;
    }

    void convertRow(const std::uint8_t* raw, std::uint32_t* row) const
    {
        switch (bits) {
        case 1:
        case 4:
        case 8: {
            const int perByte = 8 / bits;
            const unsigned mask = (1u << bits) - 1;
            for (int x = 0; x < width; ++x) {
                const int shift = 8 - bits * (x % perByte + 1);
                row[x] = palette[raw[x / perByte] >> shift & mask];
            }
            break;
        }
        case 24:
            for (int x = 0; x < width; ++x, raw += 3)
                row[x] = 0xff000000u | std::uint32_t{raw[2]} << 16 | std::uint32_t{raw[1]} << 8 | raw[0];
            break;
        default: {
            const bool wide = bits == 32;
            for (int x = 0; x < width; ++x, raw += wide ? 4 : 2) {
                const std::uint32_t pixel = wide ? le32(raw) : le16(raw);
                const std::uint32_t opacity = alpha.mask ? alpha(pixel) : 255;
                row[x] = opacity << 24 | red(pixel) << 16 | green(pixel) << 8 | blue(pixel);
            }
        }
        }
    }

    Status decodePlain()
    {
        const std::uint64_t stride =
            (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bits) + 31) / 32 * 4;
        if (pixelOffset + stride * static_cast<std::uint64_t>(height) > file.size())
            return Status::UnknownImageFormat;
        const bool opaque = alpha.mask == 0;
        if (Status begun = canvas.begin(width, height, opaque, PictureCanvas::Order::TopDown); begun != Status::Ok)
            return begun;
        std::vector<std::uint8_t> raw(static_cast<std::size_t>(stride));
        for (int y = 0; y < height; ++y) {
            const std::uint64_t stored = static_cast<std::uint64_t>(topDown ? y : height - 1 - y);
            if (!file.readAt(pixelOffset + stored * stride, raw.data(), raw.size()))
                return Status::UnknownImageFormat;
            convertRow(raw.data(), canvas.row(y));
            canvas.commit(y);
        }
        return Status::Ok;
    }

    // Run-length data: counted runs of one index, escapes for the end of a
    // row, the end of the picture, a jump ahead, and literal stretches.
    // Pixels it never sets stay transparent.
    Status decodeRunLength()
    {
        if (Status begun = canvas.begin(width, height, false, PictureCanvas::Order::Any); begun != Status::Ok)
            return begun;
        ByteStream bytes{file, pixelOffset};
        const bool nibbles = bits == 4;
        int x = 0, fromBottom = 0;
        std::uint32_t* row = nullptr;
        const auto startRow = [&] {
            const int y = height - 1 - fromBottom;
            row = fromBottom < height && canvas.wanted(y) ? canvas.row(y) : nullptr;
            if (row)
                std::fill(row, row + width, 0u);
        };
        const auto endRow = [&] {
            if (row)
                canvas.commit(height - 1 - fromBottom);
            row = nullptr;
        };
        // x never passes the right edge: a long file of runs or jumps that
        // never ends its row would otherwise count it past INT_MAX.
        const auto set = [&](unsigned index) {
            if (x < width) {
                if (row)
                    row[x] = palette[index];
                ++x;
            }
        };
        startRow();
        for (;;) {
            const int count = bytes.next(), value = bytes.next();
            if (count < 0 || value < 0)
                return Status::UnknownImageFormat;
            if (count > 0) {
                // A run past the right edge costs nothing however long.
                const int inside = std::min(count, width - x);
                for (int i = 0; i < inside; ++i)
                    set(nibbles ? (i % 2 ? value & 0xf : value >> 4) : static_cast<unsigned>(value));
                continue;
            }
            if (value == 0 || value == 1) { // end of the row, end of the picture
                endRow();
                if (value == 1 || ++fromBottom >= height)
                    return Status::Ok;
                x = 0;
                startRow();
            } else if (value == 2) { // jump right and up
                const int right = bytes.next(), up = bytes.next();
                if (right < 0 || up < 0)
                    return Status::UnknownImageFormat;
                x = std::min(width, x + right);
                if (up > 0) {
                    endRow();
                    fromBottom += up;
                    if (fromBottom >= height)
                        return Status::Ok;
                    startRow();
                }
            } else { // `value` literal pixels, padded to a whole 16-bit word
                const int length = nibbles ? (value + 1) / 2 : value;
                for (int i = 0; i < length; ++i) {
                    const int byte = bytes.next();
                    if (byte < 0)
                        return Status::UnknownImageFormat;
                    if (nibbles) {
                        set(static_cast<unsigned>(byte) >> 4);
                        if (2 * i + 1 < value)
                            set(static_cast<unsigned>(byte) & 0xf);
                    } else {
                        set(static_cast<unsigned>(byte));
                    }
                }
                if (length % 2 && bytes.next() < 0)
                    return Status::UnknownImageFormat;
            }
        }
    }
};

} // namespace

Status decodeBmp(PictureFile& file, PictureCanvas& canvas)
{
    BmpDecoder decoder(file, canvas);
    if (Status header = decoder.readHeader(); header != Status::Ok)
        return header;
    return decoder.compression == Rle8 || decoder.compression == Rle4 ? decoder.decodeRunLength()
                                                                      : decoder.decodePlain();
}

} // namespace platform
