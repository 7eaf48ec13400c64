// A test card in a window: each frame draws the card into an image with the
// raster Canvas and presents it, until the close box or Escape.
#include "examples/testcard/card.h"
#include "runtime/core/runtime_start.h"
#include "runtime/program/command_line.h"
#include "runtime/program/program.h"

int main(int argc, char** argv) {
    ProgramCommandLine(argc, argv);
    RuntimeStart();
    const ProgramPosition at = ProgramCentredWindow(CardWidth, CardHeight);
    ProgramOpenScreen(u"Wirlo test card", at.x, at.y, CardWidth, CardHeight);
    if (!CardCreateImages())
        RuntimeFail(u"Wirlo test card cannot start: its images could not be created.", ExitNoImages);
    do {
        CardDraw();
        ProgramShowImage(CardImage);
    } while (!ProgramEndRequested());
    RuntimeEnd();
}
