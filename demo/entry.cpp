// The program's entry: runtime start-up, the 800 by 600 window centred on the
// desktop with the windowed screen inside it, the effect's images and tables,
// then the frame loop until the close box or Escape, and the runtime's
// shutdown, which ends the process with exit code 0. No files; natively the
// program answers --version and --help, the Windows product ignores its
// command line (command_line.h). The same entry serves every platform; the
// runtime operations behind it differ, the program does not.
//
// A start-up step that cannot be done (no display, no Direct3D 9, no window,
// screen or images) ends the program with a message and a non-zero exit code
// instead of running on missing objects.
#include <cstring>

#include "demo/demo_state.h"
#include "demo/frame.h"
#include "runtime/core/runtime_start.h"
#include "runtime/program/command_line.h"
#include "runtime/program/program.h"

int main(int argc, char** argv) {
    ProgramCommandLine(argc, argv);
    std::memset(&Demo, 0, sizeof Demo);
    RuntimeStart();
    DemoSetUpWindowed(Demo);
    // Every frame is finished before the exit test, so no half frame is shown.
    do {
        DemoRunFrame(Demo);
    } while (!ProgramEndRequested());
    RuntimeEnd();
}
