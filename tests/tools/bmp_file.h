// Writing an image as an uncompressed BMP file, for the tools that show the
// programs' pictures without a window.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "runtime/drawing/canvas.h"
#include "runtime/drawing/image.h"
#include "runtime/drawing/raster/raster_pixel.h"

inline void BmpPut(unsigned char* at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

// Writes an image as a BMP file of its own depth (24 bits: blue, green, red;
// 32: and alpha): the file's rows are bottom-up and padded to 4 bytes, like the
// image's own pixel memory. On failure the reason is in errno, and a partial
// file is removed if this call created it; a path that was there before (a
// file, a directory) is never removed.
inline bool WriteBmp(const char* path, ObjectNumber image) {
    Canvas* canvas = ImageCanvas(image);
    if (!CanvasBegin(canvas)) return false;
    const int width = canvas->width, height = canvas->height, bytes = canvas->raster.bytesPerPixel;
    const uint32_t pitch = static_cast<uint32_t>(DibRowPitch(width, 8 * bytes));
    const uint32_t imageBytes = pitch * static_cast<uint32_t>(height);
    unsigned char header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    BmpPut(header + 2, 54 + imageBytes, 4);  // file size
    BmpPut(header + 10, 54, 4);              // offset of the pixels
    BmpPut(header + 14, 40, 4);              // info header size
    BmpPut(header + 18, static_cast<uint32_t>(width), 4);
    BmpPut(header + 22, static_cast<uint32_t>(height), 4);  // positive: bottom-up
    BmpPut(header + 26, 1, 2);               // planes
    BmpPut(header + 28, static_cast<uint32_t>(8 * bytes), 2);
    BmpPut(header + 34, imageBytes, 4);
    std::vector<unsigned char> row(pitch, 0);
    std::error_code unused;  // a path whose state cannot be read counts as there
    const bool existed =
        std::filesystem::symlink_status(path, unused).type() != std::filesystem::file_type::not_found;
    errno = 0;
    FILE* out = std::fopen(path, "wb");
    bool ok = out && std::fwrite(header, sizeof(header), 1, out) == 1;
    for (int y = height - 1; ok && y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = RasterPixelAddress(canvas, x, y);
            for (int k = 0; k < bytes; ++k) row[bytes * x + k] = p[k];
        }
        ok = std::fwrite(row.data(), 1, pitch, out) == pitch;
    }
    CanvasEnd();
    if (out) ok &= std::fclose(out) == 0;
    if (!ok && out && !existed) {
        const int reason = errno;
        std::remove(path);
        errno = reason;
    }
    return ok;
}
