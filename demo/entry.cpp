// The program's entry: runtime start-up, the 800 by 600 window centred on the
// desktop with the windowed screen inside it, the effect's images and tables,
// then the frame loop until the close box or Escape, and the runtime's
// shutdown, which ends the process with exit code 0. No command line, no files.
// The same entry serves the Windows build and the native build; the runtime
// operations behind it differ, the program does not.
//
// A start-up step that cannot be done (no display, no Direct3D 9, no window,
// screen or images) ends the program with a message and a non-zero exit code
// instead of running on missing objects.
#include <cstring>

#include "demo/demo_state.h"
#include "demo/frame.h"
#include "runtime/core/runtime_start.h"
#include "runtime/drawing/canvas.h"
#include "runtime/drawing/image.h"
#include "runtime/screen/screen.h"
#include "runtime/window/desktop.h"
#include "runtime/window/window.h"

namespace {

// Exit codes of a failed start-up.
enum : int {
    ExitNoMemory = 2,
    ExitNoGraphics = 3,
    ExitNoWindow = 4,
    ExitNoScreen = 5,
    ExitNoImages = 6,
};

}  // namespace

int main() {
    std::memset(&Demo, 0, sizeof Demo);
    RuntimeStart();

    if (!DemoSetUpStart(Demo)) RuntimeFail(u"Wirlo: out of memory while starting.", ExitNoMemory);

    Demo.desktopWindow = DesktopWindow();
    const DesktopRectangle desktopRect = DesktopGetRect();
    Demo.desktopRect[0] = desktopRect.left;
    Demo.desktopRect[1] = desktopRect.top;
    Demo.desktopRect[2] = desktopRect.right;
    Demo.desktopRect[3] = desktopRect.bottom;
    // 400 and 300 are constants, not the half sizes.
    Demo.windowX = (Demo.desktopRect[2] - Demo.desktopRect[0]) / 2 - 400;
    Demo.windowY = (Demo.desktopRect[3] - Demo.desktopRect[1]) / 2 - 300;

    if (!GraphicsInit())
        RuntimeFail(u"Wirlo cannot start: no graphics screen is available (no display; on Windows, no "
                    u"Direct3D 9 or no 16- or 32-bit display mode).",
                    ExitNoGraphics);
    if (!WindowOpen(0, Demo.windowX, Demo.windowY, DemoScreenWidth, DemoScreenHeight, u"Wirlo", 0xC80000))
        RuntimeFail(u"Wirlo cannot start: its window could not be opened.", ExitNoWindow);
    if (!ScreenOpenWindowed(WindowHandle(0), 0, 0, DemoScreenWidth, DemoScreenHeight, 0, 0, 0))
        RuntimeFail(u"Wirlo cannot start: its screen could not be created.", ExitNoScreen);
    if (!DemoCreateImages(Demo)) RuntimeFail(u"Wirlo cannot start: its images could not be created.", ExitNoImages);
    if (!DemoSetUpTables(Demo)) RuntimeFail(u"Wirlo: out of memory while building its tables.", ExitNoMemory);

    // Every frame is finished before the exit test, so no half frame is shown.
    for (;;) {
        DemoComposeFrame(Demo);
        CanvasBegin(ScreenCanvas());
        CanvasDrawImage(ImageHandle(DemoImageFrame), 0, 0);
        CanvasEnd();
        ScreenFlip();
        DemoCopyBackAndSeed(Demo);
        if (WindowPollEvent() == EventCloseWindow) break;
        if (KeyAsyncState(KeyEscape)) break;
    }
    RuntimeEnd();
}
