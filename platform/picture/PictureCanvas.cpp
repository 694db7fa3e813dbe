// Reducing a picture while it is decoded: see PictureCanvas.h.
#include "platform/picture/PictureCanvas.h"

#include <algorithm>
#include <new>

namespace platform {

namespace {

// The largest whole factor that keeps `length` long enough to cover `cover`.
int reductionFor(int length, int cover)
{
    const int least = PictureCanvas::enough(cover);
    return length > least ? length / least : 1;
}

} // namespace

PictureCanvas::PictureCanvas(int coverWidth, int coverHeight) : cover{std::max(1, coverWidth), std::max(1, coverHeight)}
{
}

PictureCanvas::~PictureCanvas() = default;

Status PictureCanvas::begin(int width, int height, bool allOpaque, Order rowOrder)
{
    if (output.pixels || !fits(width, height))
        return Status::OutOfMemory;
    source[0] = width;
    source[1] = height;
    factor[0] = reductionFor(width, cover[0]);
    factor[1] = reductionFor(height, cover[1]);
    size[0] = width / factor[0];
    size[1] = height / factor[1];
    opaque = allOpaque;
    order = rowOrder;
    direct = factor[0] == 1 && factor[1] == 1;
    try {
        if (!direct)
            scratch.assign(static_cast<std::size_t>(width), 0);
        if (!direct && order == Order::TopDown)
            sums.assign(static_cast<std::size_t>(size[0]) * 4, 0);
        // Transparent black where a decoder leaves pixels out, as a fresh
        // surface of any drawing library starts.
        output.pixels = std::make_unique<std::uint32_t[]>(static_cast<std::size_t>(size[0]) * size[1]);
    } catch (const std::bad_alloc&) {
        return Status::OutOfMemory;
    }
    output.width = size[0];
    output.height = size[1];
    return Status::Ok;
}

void PictureCanvas::commit(int y)
{
    if (!output.pixels || y < 0 || y >= source[1])
        return;
    if (direct) {
        if (!opaque) {
            std::uint32_t* pixel = outputRow(y);
            for (int x = 0; x < size[0]; ++x)
                pixel[x] = premultiplied(pixel[x]);
        }
        return;
    }
    if (order == Order::Any) {
        // Only the samples of the rows that hold them are looked at.
        if (wanted(y)) {
            std::uint32_t* target = outputRow(y / factor[1]);
            for (int x = 0; x < size[0]; ++x)
                target[x] = premultiplied(scratch[static_cast<std::size_t>(x) * factor[0]]);
        }
        return;
    }
    if (!opaque)
        for (std::uint32_t& pixel : scratch)
            pixel = premultiplied(pixel);
    accumulate(scratch.data());
    // The last band also takes the rows left over below the last whole block.
    const int rowsInBand = band == size[1] - 1 ? source[1] - band * factor[1] : factor[1];
    if (++bandRows == rowsInBand)
        emitBand();
}

// Adds one premultiplied source row to the sums of its blocks; the last block
// of a row also takes the columns left over at its right. Blue and red, green
// and alpha are summed two to a word, a 16-bit lane each, which 257 pixels of
// 255 cannot overflow.
void PictureCanvas::accumulate(const std::uint32_t* row)
{
    std::uint64_t* sum = sums.data();
    const int step = factor[0];
    int x = 0;
    for (int column = 0; column < size[0]; ++column, sum += 4) {
        const int end = column == size[0] - 1 ? source[0] : x + step;
        while (x < end) {
            const int stop = std::min(end, x + 257);
            std::uint32_t blueRed = 0, greenAlpha = 0;
            for (; x < stop; ++x) {
                blueRed += row[x] & 0x00ff00ff;
                greenAlpha += row[x] >> 8 & 0x00ff00ff;
            }
            sum[0] += blueRed & 0xffff;
            sum[1] += greenAlpha & 0xffff;
            sum[2] += blueRed >> 16;
            sum[3] += greenAlpha >> 16;
        }
    }
}

// Writes the band's averages as one output row and starts the next band.
void PictureCanvas::emitBand()
{
    std::uint32_t* target = outputRow(band);
    const std::uint64_t* sum = sums.data();
    for (int column = 0; column < size[0]; ++column, sum += 4) {
        const int columns = column == size[0] - 1 ? source[0] - column * factor[0] : factor[0];
        const std::uint64_t count = static_cast<std::uint64_t>(columns) * static_cast<std::uint64_t>(bandRows);
        const auto average = [count](std::uint64_t total) {
            return static_cast<std::uint32_t>((total + count / 2) / count);
        };
        target[column] = average(sum[3]) << 24 | average(sum[2]) << 16 | average(sum[1]) << 8 | average(sum[0]);
    }
    std::fill(sums.begin(), sums.end(), std::uint64_t{0});
    bandRows = 0;
    ++band;
}

PicturePixels PictureCanvas::finish()
{
    if (!output.pixels)
        return {};
    if (bandRows > 0 && band < size[1])
        emitBand();
    return std::move(output);
}

} // namespace platform
