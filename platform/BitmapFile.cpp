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

Status readWholeFile(const char* fileName, std::vector<std::uint8_t>& contents) {
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

void premultiply(cairo_surface_t* surface) {
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

Bitmap::Bitmap(const char* fileName) : implementation(std::make_unique<Impl>()) {
    std::vector<std::uint8_t> contents;
    if (Status read = readWholeFile(fileName, contents); read != Status::Ok) {
        remember(read);
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
    SDL_Surface* target = SDL_CreateRGBSurfaceWithFormatFrom(
        cairo_image_surface_get_data(surface), decoded->w, decoded->h, 32, cairo_image_surface_get_stride(surface),
        SDL_PIXELFORMAT_ARGB8888);
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
