// Draws the test card (examples/testcard) once without a window and writes its
// picture as a 32-bit BMP file (alpha included), so the builds' pictures can be
// compared and shown.
//
//   testcard_picture OUTPUT.bmp
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "examples/testcard/card.h"
#include "runtime/core/main_heap.h"
#include "tests/tools/bmp_file.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: testcard_picture OUTPUT.bmp\n");
        return 2;
    }
    MainHeapInit();
    CanvasLibInit();
    ImagesInit();
    if (!CardCreateImages() || !CardDraw()) {
        std::fprintf(stderr, "testcard_picture: the card could not be drawn\n");
        return 1;
    }
    if (!WriteBmp(argv[1], CardImage)) {
        std::fprintf(stderr, "testcard_picture: cannot write %s: %s\n", argv[1], errno ? std::strerror(errno) : "drawing failed");
        return 1;
    }
    std::printf("test card: %s\n", argv[1]);
    return 0;
}
