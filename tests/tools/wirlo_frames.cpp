// Runs the effect for a number of frames without a window and writes the last
// frame (image 2, as the next frame will start from it) as a BMP file.
//
//   wirlo_frames FRAMES OUTPUT.bmp [SEED]
//
// SEED (default 1) seeds the random numbers that black out some seed lines, so
// a run can be repeated exactly.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "demo/frame.h"
#include "runtime/drawing/canvas.h"
#include "runtime/drawing/image.h"
#include "runtime/drawing/raster/raster_pixel.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: wirlo_frames FRAMES OUTPUT.bmp [SEED]\n");
    return 2;
}

bool ParseInt(const char* text, long low, long high, long* value) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < low || v > high) return false;
    *value = v;
    return true;
}

void PutLE(unsigned char* at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

// Writes an image as a 24-bit BMP file: the file's rows are bottom-up and
// padded to 4 bytes, like the image's own pixel memory.
bool WriteBmp(const char* path, ObjectNumber image) {
    Canvas* canvas = ImageCanvas(image);
    if (!CanvasBegin(canvas)) return false;
    const int width = canvas->width, height = canvas->height;
    const uint32_t pitch = static_cast<uint32_t>(DibRowPitch(width, 24));
    const uint32_t imageBytes = pitch * static_cast<uint32_t>(height);
    unsigned char header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    PutLE(header + 2, 54 + imageBytes, 4);  // file size
    PutLE(header + 10, 54, 4);              // offset of the pixels
    PutLE(header + 14, 40, 4);              // info header size
    PutLE(header + 18, static_cast<uint32_t>(width), 4);
    PutLE(header + 22, static_cast<uint32_t>(height), 4);  // positive: bottom-up
    PutLE(header + 26, 1, 2);               // planes
    PutLE(header + 28, 24, 2);              // bits per pixel
    PutLE(header + 34, imageBytes, 4);
    std::vector<unsigned char> row(pitch, 0);
    FILE* out = std::fopen(path, "wb");
    bool ok = out && std::fwrite(header, sizeof(header), 1, out) == 1;
    for (int y = height - 1; ok && y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = RasterPixelAddress(canvas, x, y);
            row[3 * x] = p[0];
            row[3 * x + 1] = p[1];
            row[3 * x + 2] = p[2];
        }
        ok = std::fwrite(row.data(), 1, pitch, out) == pitch;
    }
    CanvasEnd();
    if (out) ok &= std::fclose(out) == 0;
    if (!ok) std::remove(path);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) return Usage();
    long frames = 0, seed = 1;
    if (!ParseInt(argv[1], 0, 1000000, &frames)) return Usage();
    if (argc == 4 && !ParseInt(argv[3], INT32_MIN, INT32_MAX, &seed)) return Usage();

    DemoState state{};
    if (!DemoSetUpInMemory(state, static_cast<int32_t>(seed))) {
        std::fprintf(stderr, "wirlo_frames: set-up failed\n");
        return 1;
    }
    const int ran = DemoRunFrames(state, static_cast<int>(frames));
    const bool written = WriteBmp(argv[2], DemoImageSource);
    DemoReleaseInMemory(state);
    if (!ran) {
        std::fprintf(stderr, "wirlo_frames: a frame could not be drawn\n");
        return 1;
    }
    if (!written) {
        std::fprintf(stderr, "wirlo_frames: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("%ld frames, seed %ld: %s\n", frames, seed, argv[2]);
    return 0;
}
