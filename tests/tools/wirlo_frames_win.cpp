// Runs the effect for a number of frames without a window and writes the last
// frame (image 2, as the next frame will start from it) as a BMP file.
//
//   wirlo_frames_win FRAMES OUTPUT.bmp [SEED]
//
// SEED (default 1) seeds the random numbers that black out some seed lines, so
// a run can be repeated exactly.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "demo/frame.h"
#include "runtime/drawing/image.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: wirlo_frames_win FRAMES OUTPUT.bmp [SEED]\n");
    return 2;
}

bool ParseInt(const char* text, long low, long high, long* value) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < low || v > high) return false;
    *value = v;
    return true;
}

// Writes a bottom-up 24-bit DIB section as a BMP file; its rows are already in
// the file's order and padding.
bool WriteBmp(const char* path, NativeHandle bitmap) {
    DIBSECTION dib;
    std::memset(&dib, 0, sizeof(dib));
    if (GetObjectW(reinterpret_cast<HBITMAP>(bitmap), sizeof(dib), &dib) != sizeof(dib) || !dib.dsBm.bmBits ||
        dib.dsBm.bmBitsPixel != 24)
        return false;
    const int width = dib.dsBm.bmWidth, height = dib.dsBm.bmHeight;
    const DWORD imageBytes = static_cast<DWORD>(DibRowPitch(width, 24)) * static_cast<DWORD>(height);
    BITMAPFILEHEADER file;
    std::memset(&file, 0, sizeof(file));
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageBytes;
    BITMAPINFOHEADER info;
    std::memset(&info, 0, sizeof(info));
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;  // bottom-up
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = imageBytes;
    FILE* out = std::fopen(path, "wb");
    if (!out) return false;
    bool ok = std::fwrite(&file, sizeof(file), 1, out) == 1 && std::fwrite(&info, sizeof(info), 1, out) == 1 &&
              std::fwrite(dib.dsBm.bmBits, 1, imageBytes, out) == imageBytes;
    ok &= std::fclose(out) == 0;
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
        std::fprintf(stderr, "wirlo_frames_win: set-up failed\n");
        return 1;
    }
    const int ran = DemoRunFrames(state, static_cast<int>(frames));
    const bool written = WriteBmp(argv[2], ImageHandle(DemoImageSource));
    DemoReleaseInMemory(state);
    if (!ran) {
        std::fprintf(stderr, "wirlo_frames_win: a frame could not be drawn\n");
        return 1;
    }
    if (!written) {
        std::fprintf(stderr, "wirlo_frames_win: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("%ld frames, seed %ld: %s\n", frames, seed, argv[2]);
    return 0;
}
