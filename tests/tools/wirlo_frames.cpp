// Runs the effect without a window and writes its pictures as BMP files: the
// picture after a number of frames (image 2, as the next frame will start from
// it), or a sequence of such pictures, every STEP frames from FIRST to LAST.
//
//   wirlo_frames FRAMES OUTPUT.bmp [SEED]
//   wirlo_frames --every STEP FIRST LAST OUTPUT_DIR [SEED]
//
// SEED (default 1) seeds the random numbers that black out some seed lines, so
// a run can be repeated exactly.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "demo/frame.h"
#include "runtime/drawing/canvas.h"
#include "runtime/drawing/image.h"
#include "runtime/drawing/raster/raster_pixel.h"

namespace {

constexpr long MaxFrames = 1000000;

const char UsageLines[] =
    "usage: wirlo_frames FRAMES OUTPUT.bmp [SEED]\n"
    "       wirlo_frames --every STEP FIRST LAST OUTPUT_DIR [SEED]\n";

const char HelpText[] =
    "Runs the spiral effect without a window and writes its pictures (800x600,\n"
    "24-bit BMP).\n"
    "  FRAMES OUTPUT.bmp    the picture after FRAMES frames (0 to 1000000)\n"
    "  --every STEP FIRST LAST OUTPUT_DIR\n"
    "                       the pictures after FIRST, FIRST+STEP, ... frames up to\n"
    "                       LAST (0 <= FIRST <= LAST <= 1000000, STEP >= 1), as\n"
    "                       OUTPUT_DIR/frame-N.bmp with N the frame count padded\n"
    "                       with zeros to the width of LAST; the directory is\n"
    "                       created if missing\n"
    "  SEED                 seeds the random numbers (default 1), so a run repeats\n"
    "                       exactly\n";

int Usage(const char* problem) {
    std::fprintf(stderr, "wirlo_frames: %s\n%s", problem, UsageLines);
    return 2;
}

bool ParseInt(const char* text, long low, long high, long* value) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || v < low || v > high) return false;
    *value = v;
    return true;
}

void PutLE(unsigned char* at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

// Writes an image as a 24-bit BMP file: the file's rows are bottom-up and
// padded to 4 bytes, like the image's own pixel memory. On failure the reason
// is in errno, and a partial file is removed if this call created it; a path
// that was there before (a file, a directory) is never removed.
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
    std::error_code unused;  // a path whose state cannot be read counts as there
    const bool existed =
        std::filesystem::symlink_status(path, unused).type() != std::filesystem::file_type::not_found;
    errno = 0;
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
    if (!ok && out && !existed) {
        const int reason = errno;
        std::remove(path);
        errno = reason;
    }
    return ok;
}

// What to write: the pictures after first, first + step, ... frames up to
// last. A single picture goes to `output` itself; a sequence into the
// directory `output`.
struct Request {
    long first = 0, last = 0, step = 1, seed = 1;
    const char* output = nullptr;
    bool sequence = false;
};

// Reads the command line into request; returns 0 to go on, -1 after showing
// the help, or 2 after a usage error.
int ParseArguments(int argc, char** argv, Request* request) {
    Request& r = *request;
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        std::printf("%s%s", UsageLines, HelpText);
        return -1;
    }
    r.sequence = argc > 1 && !std::strcmp(argv[1], "--every");
    const int counts = r.sequence ? 5 : 2;  // the arguments before SEED
    if (argc < counts + 1 || argc > counts + 2) return Usage("wrong number of arguments");
    const int seedIndex = counts + 1;
    if (argc > seedIndex && !ParseInt(argv[seedIndex], INT32_MIN, INT32_MAX, &r.seed)) {
        return Usage("SEED must be a whole number within 32 bits");
    }
    if (!r.sequence) {
        if (!ParseInt(argv[1], 0, MaxFrames, &r.first)) return Usage("FRAMES must be a whole number from 0 to 1000000");
        r.last = r.first;
        r.output = argv[2];
        return 0;
    }
    if (!ParseInt(argv[2], 1, MaxFrames, &r.step)) return Usage("STEP must be a whole number from 1 to 1000000");
    if (!ParseInt(argv[3], 0, MaxFrames, &r.first)) return Usage("FIRST must be a whole number from 0 to 1000000");
    if (!ParseInt(argv[4], r.first, MaxFrames, &r.last)) {
        return Usage("LAST must be a whole number from FIRST to 1000000");
    }
    r.output = argv[5];
    if (!*r.output) return Usage("OUTPUT_DIR is empty");
    return 0;
}

// The file for the picture after `frame` frames.
std::string PicturePath(const Request& r, long frame) {
    if (!r.sequence) return r.output;
    const int width = static_cast<int>(std::to_string(r.last).size());
    char name[32];
    std::snprintf(name, sizeof(name), "frame-%0*ld.bmp", width, frame);
    return std::string(r.output) + "/" + name;
}

// Runs the frames and writes the pictures; returns the exit code.
int WritePictures(const Request& r, DemoState& state) {
    long count = 0;
    std::string path;
    for (long frame = r.first, ran = 0; frame <= r.last; frame += r.step) {
        if (!DemoRunFrames(state, static_cast<int>(frame - ran))) {
            std::fprintf(stderr, "wirlo_frames: frame %ld could not be drawn\n", frame);
            return 1;
        }
        ran = frame;
        path = PicturePath(r, frame);
        if (!WriteBmp(path.c_str(), DemoImageSource)) {
            std::fprintf(stderr, "wirlo_frames: cannot write %s: %s\n", path.c_str(),
                         errno ? std::strerror(errno) : "drawing failed");
            return 1;
        }
        ++count;
    }
    if (r.sequence) {
        std::printf("%ld pictures, frames %ld to %ld every %ld, seed %ld: %s\n", count, r.first, r.last,
                    r.step, r.seed, r.output);
    } else {
        std::printf("%ld frames, seed %ld: %s\n", r.first, r.seed, r.output);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Request request;
    if (const int code = ParseArguments(argc, argv, &request)) return code < 0 ? 0 : code;
    if (request.sequence) {
        std::error_code error;
        std::filesystem::create_directories(request.output, error);
        if (error) {
            std::fprintf(stderr, "wirlo_frames: cannot create %s: %s\n", request.output,
                         error.message().c_str());
            return 1;
        }
    }
    DemoState state{};
    if (!DemoSetUpInMemory(state, static_cast<int32_t>(request.seed))) {
        std::fprintf(stderr, "wirlo_frames: set-up failed\n");
        return 1;
    }
    const int code = WritePictures(request, state);
    DemoReleaseInMemory(state);
    return code;
}
