#include "runtime/drawing/gdi/drawing_library_win.h"

namespace {
HMODULE msimg32 = nullptr;
AlphaBlendFunction alphaBlend = nullptr;
}  // namespace

void DrawingLibraryInit() {
    if (msimg32) return;
    msimg32 = LoadLibraryW(L"msimg32.dll");
    if (msimg32) alphaBlend = reinterpret_cast<AlphaBlendFunction>(reinterpret_cast<void*>(GetProcAddress(msimg32, "AlphaBlend")));
}

void DrawingLibraryEnd() {
    alphaBlend = nullptr;
    if (msimg32) FreeLibrary(msimg32);
    msimg32 = nullptr;
}

bool AlphaBlendAvailable() { return alphaBlend != nullptr; }

AlphaBlendFunction DrawingAlphaBlend() { return alphaBlend; }

AlphaBlendFunction DrawingSetAlphaBlend(AlphaBlendFunction function) {
    AlphaBlendFunction previous = alphaBlend;
    alphaBlend = function;
    return previous;
}
