#include "runtime/drawing/gdi/drawing_library_win.h"

#include <shlwapi.h>

namespace {
HMODULE msimg32 = nullptr;
AlphaBlendFunction alphaBlend = nullptr;
bool visualStyles = false;

typedef HRESULT(CALLBACK* DllGetVersionFunction)(DLLVERSIONINFO*);
typedef BOOL(WINAPI* IsAppThemedFunction)();

// Visual styles are active when the system is Windows XP or later, the
// process uses version 6 or later of the common controls (its manifest asks
// for it) and the theme service reports the application as themed.
bool DetectVisualStyles() {
    OSVERSIONINFOW os{};
    os.dwOSVersionInfoSize = sizeof os;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&os)) return false;
#pragma GCC diagnostic pop
    if (os.dwMajorVersion < 5 || (os.dwMajorVersion == 5 && os.dwMinorVersion < 1)) return false;
    HMODULE comctl = LoadLibraryW(L"COMCTL32.DLL");
    if (!comctl) return false;
    bool version6 = false;
    if (auto getVersion = reinterpret_cast<DllGetVersionFunction>(
            reinterpret_cast<void*>(GetProcAddress(comctl, "DllGetVersion")))) {
        DLLVERSIONINFO info{};
        info.cbSize = sizeof info;
        version6 = SUCCEEDED(getVersion(&info)) && info.dwMajorVersion >= 6;
    }
    FreeLibrary(comctl);
    if (!version6) return false;
    HMODULE uxtheme = LoadLibraryW(L"uxtheme.dll");
    if (!uxtheme) return false;
    auto isThemed =
        reinterpret_cast<IsAppThemedFunction>(reinterpret_cast<void*>(GetProcAddress(uxtheme, "IsAppThemed")));
    bool themed = isThemed && isThemed();
    FreeLibrary(uxtheme);
    return themed;
}
}  // namespace

void DrawingLibraryInit() {
    if (msimg32) return;
    msimg32 = LoadLibraryW(L"msimg32.dll");
    if (msimg32) alphaBlend = reinterpret_cast<AlphaBlendFunction>(reinterpret_cast<void*>(GetProcAddress(msimg32, "AlphaBlend")));
    visualStyles = DetectVisualStyles();
}

bool DrawingVisualStyles() { return visualStyles; }

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
