#include "runtime/program/program.h"

#include <cstddef>
#include <initializer_list>

#include "runtime/core/runtime_start.h"
#include "runtime/drawing/canvas.h"
#include "runtime/drawing/image.h"
#include "runtime/screen/screen.h"
#include "runtime/window/desktop.h"
#include "runtime/window/window.h"

namespace {

// WS_CAPTION | WS_SYSMENU: a caption with the close box.
constexpr uint32_t kCaptionAndSystemMenu = 0xC80000;

// "<title> cannot start: <reason>" through RuntimeFail.
[[noreturn]] void CannotStart(const char16_t* title, const char16_t* reason, int exitCode) {
    static const char16_t kJoin[] = u" cannot start: ";
    char16_t message[512];
    size_t n = 0;
    for (const char16_t* part : {title, kJoin, reason})
        for (const char16_t* p = part; p && *p && n + 1 < sizeof message / sizeof message[0]; ++p) message[n++] = *p;
    message[n] = 0;
    RuntimeFail(message, exitCode);
}

}  // namespace

ProgramPosition ProgramCentredWindow(int width, int height) {
    const DesktopRectangle desktop = DesktopGetRect();
    return {(desktop.right - desktop.left) / 2 - width / 2, (desktop.bottom - desktop.top) / 2 - height / 2};
}

void ProgramOpenScreen(const char16_t* title, int x, int y, int width, int height) {
    if (!GraphicsInit())
        CannotStart(title,
                    u"no graphics screen is available (no display; on Windows, no Direct3D 9 or no 16- or 32-bit "
                    u"display mode).",
                    ExitNoGraphics);
    if (!WindowOpen(0, x, y, width, height, title, kCaptionAndSystemMenu))
        CannotStart(title, u"its window could not be opened.", ExitNoWindow);
    if (!ScreenOpenWindowed(WindowHandle(0), 0, 0, width, height, 0, 0, 0))
        CannotStart(title, u"its screen could not be created.", ExitNoScreen);
}

void ProgramShowImage(ObjectNumber image) {
    CanvasBegin(ScreenCanvas());
    CanvasDrawImage(ImageHandle(image), 0, 0);
    CanvasEnd();
    ScreenFlip();
}

bool ProgramEndRequested() {
    if (WindowPollEvent() == EventCloseWindow) return true;
    return KeyAsyncState(KeyEscape) != 0;
}
