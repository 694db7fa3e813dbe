// Writing test pictures: see PictureWriter.h.
#include "tests/support/PictureWriter.h"

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <gif_lib.h>
#include <jpeglib.h>
#include <memory>
#include <png.h>
#include <vector>
#include <zlib.h>

namespace testing_support {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::uint8_t channel(std::uint32_t argb, int shift)
{
    return static_cast<std::uint8_t>(argb >> shift & 0xff);
}

void put32(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>(value >> (8 * i) & 0xff);
}

void put16(std::string& out, std::uint32_t value)
{
    out += static_cast<char>(value & 0xff);
    out += static_cast<char>(value >> 8 & 0xff);
}

bool writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// A 6x6x6 colour cube in palette entries 0-215, transparent at 255.
std::uint8_t cubeIndex(std::uint32_t argb)
{
    if ((argb >> 24) < 128)
        return 255;
    const auto level = [](std::uint8_t value) { return (value * 5 + 127) / 255; };
    return static_cast<std::uint8_t>(level(channel(argb, 16)) * 36 + level(channel(argb, 8)) * 6 +
                                     level(channel(argb, 0)));
}

std::uint32_t cubeColor(int index)
{
    const auto value = [](int level) { return static_cast<std::uint32_t>(level * 51); };
    return 0xff000000u | value(index / 36) << 16 | value(index / 6 % 6) << 8 | value(index % 6);
}

} // namespace

bool writeJpeg(const std::string& path, int width, int height, const PixelAt& pixel, const PictureOptions& options)
{
    File file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return false;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file.get());
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, options.quality, TRUE);
    if (options.interlaced)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t argb = pixel(x, y);
            row[3 * x] = channel(argb, 16);
            row[3 * x + 1] = channel(argb, 8);
            row[3 * x + 2] = channel(argb, 0);
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::ferror(file.get()) == 0;
}

bool writePng(const std::string& path, int width, int height, const PixelAt& pixel, const PictureOptions& options)
{
    File file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_compression_level(png, 1);
    const int channels = options.alpha ? 4 : 3;
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 options.alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
                 options.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const int passes = options.interlaced ? png_set_interlace_handling(png) : 1;
    std::vector<png_byte> row(static_cast<std::size_t>(width) * channels);
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint32_t argb = pixel(x, y);
                png_byte* out = row.data() + static_cast<std::size_t>(x) * channels;
                out[0] = channel(argb, 16);
                out[1] = channel(argb, 8);
                out[2] = channel(argb, 0);
                if (options.alpha)
                    out[3] = channel(argb, 24);
            }
            png_write_row(png, row.data());
        }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::ferror(file.get()) == 0;
}

bool writeGif(const std::string& path, int width, int height, const PixelAt& pixel, const PictureOptions& options)
{
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (!gif)
        return false;
    ColorMapObject* palette = GifMakeMapObject(256, nullptr);
    for (int i = 0; i < 256; ++i) {
        const std::uint32_t color = i < 216 ? cubeColor(i) : 0xff000000u;
        palette->Colors[i] = {channel(color, 16), channel(color, 8), channel(color, 0)};
    }
    bool written = EGifPutScreenDesc(gif, width, height, 8, 0, palette) == GIF_OK;
    if (written && options.alpha) {
        GraphicsControlBlock control{};
        control.TransparentColor = 255;
        GifByteType extension[4];
        const std::size_t length = EGifGCBToExtension(&control, extension);
        written = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) == GIF_OK;
    }
    written = written && EGifPutImageDesc(gif, 0, 0, width, height, options.interlaced, nullptr) == GIF_OK;
    std::vector<GifPixelType> line(static_cast<std::size_t>(width));
    const auto putRow = [&](int y) {
        for (int x = 0; x < width; ++x)
            line[static_cast<std::size_t>(x)] = cubeIndex(pixel(x, y));
        return EGifPutLine(gif, line.data(), width) == GIF_OK;
    };
    if (options.interlaced) {
        const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4 && written; ++pass)
            for (int y = start[pass]; y < height && written; y += step[pass])
                written = putRow(y);
    } else {
        for (int y = 0; y < height && written; ++y)
            written = putRow(y);
    }
    GifFreeMapObject(palette);
    return EGifCloseFile(gif, &error) == GIF_OK && written;
}

bool writeBmp(const std::string& path, int width, int height, const PixelAt& pixel, const PictureOptions& options)
{
    const int bits = options.bmpBits;
    const bool masks = bits == 32 && options.alpha;
    const std::uint32_t headerSize = masks ? 108 : 40;
    const std::uint32_t paletteSize = bits == 8 ? 256 * 4 : 0;
    const std::uint32_t offset = 14 + headerSize + paletteSize;
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
    std::string head = "BM";
    put32(head, static_cast<std::uint32_t>(offset + stride * static_cast<std::uint64_t>(height)));
    put32(head, 0);
    put32(head, offset);
    put32(head, headerSize);
    put32(head, static_cast<std::uint32_t>(width));
    put32(head, static_cast<std::uint32_t>(options.topDown ? -height : height));
    put16(head, 1);
    put16(head, static_cast<std::uint32_t>(bits));
    put32(head, masks ? 3 : 0); // bit fields, or none
    put32(head, 0);
    put32(head, 2835);
    put32(head, 2835);
    put32(head, 0);
    put32(head, 0);
    if (masks) {
        for (std::uint32_t mask : {0x00ff0000u, 0x0000ff00u, 0x000000ffu, 0xff000000u})
            put32(head, mask);
        put32(head, 0x73524742); // "sRGB"
        head.append(36 + 12, '\0');
    }
    for (std::uint32_t i = 0; i < paletteSize / 4; ++i)
        put32(head, i < 216 ? cubeColor(static_cast<int>(i)) & 0xffffff : 0);

    std::ofstream out(path, std::ios::binary);
    out.write(head.data(), static_cast<std::streamsize>(head.size()));
    std::vector<char> row(static_cast<std::size_t>(stride));
    for (int stored = 0; stored < height; ++stored) {
        const int y = options.topDown ? stored : height - 1 - stored;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t argb = pixel(x, y);
            char* out8 = row.data() + static_cast<std::size_t>(x) * (bits / 8);
            if (bits == 8) {
                out8[0] = static_cast<char>(cubeIndex(argb | 0xff000000u));
                continue;
            }
            out8[0] = static_cast<char>(channel(argb, 0));
            out8[1] = static_cast<char>(channel(argb, 8));
            out8[2] = static_cast<char>(channel(argb, 16));
            if (bits == 32)
                out8[3] = static_cast<char>(masks ? channel(argb, 24) : 0);
        }
        out.write(row.data(), static_cast<std::streamsize>(row.size()));
    }
    return static_cast<bool>(out);
}

bool writePicture(const std::string& format, const std::string& path, int width, int height, const PixelAt& pixel,
                  const PictureOptions& options)
{
    if (format == "jpeg")
        return writeJpeg(path, width, height, pixel, options);
    if (format == "png")
        return writePng(path, width, height, pixel, options);
    if (format == "gif")
        return writeGif(path, width, height, pixel, options);
    if (format == "bmp")
        return writeBmp(path, width, height, pixel, options);
    return false;
}

namespace {

std::string pngChunk(const char* type, const std::string& data)
{
    std::string chunk;
    const auto length = static_cast<std::uint32_t>(data.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        chunk += static_cast<char>(length >> shift & 0xff);
    const std::string body = std::string(type, 4) + data;
    chunk += body;
    const auto crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
    for (int shift = 24; shift >= 0; shift -= 8)
        chunk += static_cast<char>(crc >> shift & 0xff);
    return chunk;
}

std::string bigEndian32(std::uint32_t value)
{
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>(value >> shift & 0xff);
    return out;
}

} // namespace

bool writeClaim(const std::string& format, const std::string& path, std::uint32_t width, std::uint32_t height)
{
    if (format == "png") {
        std::string header = bigEndian32(width) + bigEndian32(height);
        header += std::string("\x08\x02\x00\x00\x00", 5); // 8-bit RGB, not interlaced
        // Rows of zeros, compressed: far fewer than the header claims.
        std::vector<Bytef> rows(4096, 0), packed(8192);
        uLongf packedSize = static_cast<uLongf>(packed.size());
        compress(packed.data(), &packedSize, rows.data(), static_cast<uLong>(rows.size()));
        const std::string data(reinterpret_cast<const char*>(packed.data()), packedSize);
        return writeBytes(path, "\x89PNG\r\n\x1a\n" + pngChunk("IHDR", header) + pngChunk("IDAT", data) +
                                    pngChunk("IEND", ""));
    }
    if (format == "jpeg") {
        if (!writeJpeg(path, 16, 16, halves(16, 16)))
            return false;
        std::ifstream in(path, std::ios::binary);
        std::string bytes{std::istreambuf_iterator<char>(in), {}};
        const std::size_t frame = bytes.find("\xff\xc0");
        if (frame == std::string::npos || width > 0xffff || height > 0xffff)
            return false;
        bytes[frame + 5] = static_cast<char>(height >> 8);
        bytes[frame + 6] = static_cast<char>(height & 0xff);
        bytes[frame + 7] = static_cast<char>(width >> 8);
        bytes[frame + 8] = static_cast<char>(width & 0xff);
        return writeBytes(path, bytes);
    }
    if (format == "gif") {
        std::string bytes = "GIF89a";
        put16(bytes, width);
        put16(bytes, height);
        bytes += std::string("\xf0\x00\x00", 3); // a global palette of 2
        bytes += std::string("\x00\x00\x00\xff\xff\xff", 6);
        bytes += ',';
        put16(bytes, 0);
        put16(bytes, 0);
        put16(bytes, width);
        put16(bytes, height);
        bytes += std::string("\x00\x02\x02\x4c\x01\x00", 6); // a few codes, then the end of the data
        bytes += ';';
        return writeBytes(path, bytes);
    }
    if (format == "bmp") {
        std::string bytes = "BM";
        put32(bytes, 0);
        put32(bytes, 0);
        put32(bytes, 54);
        put32(bytes, 40);
        put32(bytes, width);
        put32(bytes, height);
        put16(bytes, 1);
        put16(bytes, 24);
        bytes.append(24, '\0');
        bytes.append(64, '\x7f');
        return writeBytes(path, bytes);
    }
    return false;
}

PixelAt halves(int width, int height)
{
    return [width, height](int x, int y) -> std::uint32_t {
        if (y >= height * 3 / 4)
            return 0xff00ff00u;
        return x < width / 2 ? 0xffff0000u : 0xff0000ffu;
    };
}

PixelAt photo(int width, int height)
{
    return [width, height](int x, int y) -> std::uint32_t {
        const double u = static_cast<double>(x) / width, v = static_cast<double>(y) / height;
        // Grain: a cheap hash of the position, a few levels either way.
        std::uint32_t hash = static_cast<std::uint32_t>(x) * 0x9e3779b1u ^ static_cast<std::uint32_t>(y) * 0x85ebca77u;
        hash ^= hash >> 15;
        hash *= 0x2c1b3c6du;
        hash ^= hash >> 12;
        const int grain = static_cast<int>(hash % 13) - 6;
        const auto level = [grain](double value) {
            const int scaled = static_cast<int>(value * 255) + grain;
            return static_cast<std::uint32_t>(scaled < 0 ? 0 : scaled > 255 ? 255 : scaled);
        };
        const double red = 0.5 + 0.4 * std::sin(6.0 * u + 2.0 * v);
        const double green = 0.5 + 0.4 * std::sin(5.0 * v - 3.0 * u + 1.0);
        const double blue = 0.5 + 0.4 * std::cos(4.0 * (u + v));
        return 0xff000000u | level(red) << 16 | level(green) << 8 | level(blue);
    };
}

} // namespace testing_support
