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

#include "demo/frame.h"
#include "tests/tools/bmp_file.h"

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
