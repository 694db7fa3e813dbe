// A bitmap decoded from a picture file. SDL2_image recognises the format by
// the file's contents (JPEG, PNG, BMP, GIF, ...), not by its extension; the
// decoded pixels are blitted straight into the Cairo surface's memory as
// ARGB8888, which is Cairo's ARGB32 layout, and premultiplied where not opaque.
// Every failure leaves a bitmap with no picture and a status, and prints nothing.
#include "platform/Bitmap.h"

#include "platform/CairoImpl.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <vector>

namespace platform {

namespace {

Status readWholeFile(const char* fileName, std::vector<std::uint8_t>& contents)
{
    struct stat info {};
    if (!fileName || stat(fileName, &info) != 0)
        return errno == EACCES ? Status::AccessDenied : Status::FileNotFound;
    if (S_ISDIR(info.st_mode))
        return Status::AccessDenied;
    std::FILE* file = std::fopen(fileName, "rb");
    if (!file)
        return errno == EACCES || errno == EISDIR ? Status::AccessDenied : Status::FileNotFound;
    contents.clear();
    std::uint8_t chunk[65536];
    std::size_t got = 0;
    if (info.st_size > 0)
        contents.reserve(static_cast<std::size_t>(info.st_size));
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        contents.insert(contents.end(), chunk, chunk + got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return Status::AccessDenied;
    return contents.empty() ? Status::UnknownImageFormat : Status::Ok;
}

// libjpeg decodes a JPEG that stops short by padding the missing rows with
// grey, and SDL2_image passes that on as a picture. A whole JPEG has its
// end-of-image marker after the start of its first scan (an embedded preview,
// which has one of its own, sits in a segment before that), so without one
// the file was cut off and counts as undecodable.
bool isCutOffJpeg(const std::vector<std::uint8_t>& bytes)
{
    const std::size_t size = bytes.size();
    if (size < 3 || bytes[0] != 0xFF || bytes[1] != 0xD8 || bytes[2] != 0xFF)
        return false;
    std::size_t position = 2;
    while (position + 1 < size) {
        if (bytes[position] != 0xFF)
            return true;
        const std::uint8_t marker = bytes[position + 1];
        if (marker == 0xFF) { // fill byte before a marker
            ++position;
            continue;
        }
        if (marker == 0xDA) // start of scan: the entropy-coded data follows
            break;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9)) {
            position += 2;
            continue;
        }
        if (position + 3 >= size)
            return true;
        position += 2 + (static_cast<std::size_t>(bytes[position + 2]) << 8 | bytes[position + 3]);
    }
    if (position + 1 >= size)
        return true;
    // Inside scans a 0xFF data byte is always followed by 0x00 or a restart
    // marker, so 0xFF 0xD9 here can only be the real end.
    for (std::size_t i = position + 2; i + 1 < size; ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xD9)
            return false;
    return true;
}

void premultiply(cairo_surface_t* surface)
{
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    std::uint8_t* pixels = cairo_image_surface_get_data(surface);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(pixels + static_cast<std::size_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = row[x];
            const std::uint32_t alpha = pixel >> 24;
            if (alpha == 255)
                continue;
            auto scale = [alpha](std::uint32_t channel) { return (channel * alpha + 127) / 255; };
            row[x] = (alpha << 24) | (scale((pixel >> 16) & 0xff) << 16) | (scale((pixel >> 8) & 0xff) << 8) |
                     scale(pixel & 0xff);
        }
    }
}

} // namespace

Bitmap::Bitmap(const char* fileName) : implementation(std::make_unique<Impl>())
{
    std::vector<std::uint8_t> contents;
    if (Status read = readWholeFile(fileName, contents); read != Status::Ok) {
        remember(read);
        return;
    }
    if (isCutOffJpeg(contents)) {
        remember(Status::UnknownImageFormat);
        return;
    }
    SDL_RWops* stream = SDL_RWFromConstMem(contents.data(), static_cast<int>(contents.size()));
    SDL_Surface* decoded = stream ? IMG_Load_RW(stream, 1) : nullptr;
    if (!decoded) {
        remember(Status::UnknownImageFormat);
        return;
    }
    contents = {};

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, decoded->w, decoded->h);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        SDL_FreeSurface(decoded);
        remember(Status::OutOfMemory);
        return;
    }
    cairo_surface_flush(surface);
    // Cairo's memory seen as an SDL surface; the blit converts any source
    // format, palettes and colour keys included (keyed pixels stay transparent).
    SDL_Surface* target =
        SDL_CreateRGBSurfaceWithFormatFrom(cairo_image_surface_get_data(surface), decoded->w, decoded->h, 32,
                                           cairo_image_surface_get_stride(surface), SDL_PIXELFORMAT_ARGB8888);
    bool copied = false;
    if (target) {
        SDL_SetSurfaceBlendMode(decoded, SDL_BLENDMODE_NONE);
        copied = SDL_BlitSurface(decoded, nullptr, target, nullptr) == 0;
        SDL_FreeSurface(target);
    }
    const bool hasKey = SDL_HasColorKey(decoded) == SDL_TRUE;
    const bool hasAlpha = SDL_ISPIXELFORMAT_ALPHA(decoded->format->format) || decoded->format->palette;
    SDL_FreeSurface(decoded);
    if (!copied) {
        cairo_surface_destroy(surface);
        remember(Status::OutOfMemory);
        return;
    }
    if (hasKey || hasAlpha)
        premultiply(surface);
    cairo_surface_mark_dirty(surface);
    implementation->surface = surface;
}

} // namespace platform
