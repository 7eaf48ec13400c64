// The platform-free parts of opening and navigating windows: turning WindowOpen
// flags into window styles and a show command, centring arithmetic, numbered
// names ("WindowClass_12") and the choice of the next tab stop.
#pragma once

#include <cstddef>
#include <cstdint>

// Win32 style bits the flag translation works with.
enum : uint32_t {
    StyleCaption = 0x00C00000,      // WS_CAPTION
    StyleMinimize = 0x20000000,     // WS_MINIMIZE
    StyleMaximize = 0x01000000,     // WS_MAXIMIZE
    ExStyleToolWindow = 0x00000080, // WS_EX_TOOLWINDOW
};

// Win32 show commands.
enum : int {
    ShowNormal = 1,           // SW_SHOWNORMAL
    ShowMinimized = 2,        // SW_SHOWMINIMIZED
    ShowMaximized = 3,        // SW_SHOWMAXIMIZED
    ShowNoActivateCmd = 4,    // SW_SHOWNOACTIVATE
    ShowMinNoActive = 7,      // SW_SHOWMINNOACTIVE
    ShowNA = 8,               // SW_SHOWNA
};

// What WindowOpen makes of its flags.
struct WindowStyleChoice {
    uint32_t style;         // working style: flags without the runtime-only bits 0x8 and 0x10000000
    uint32_t createStyle;   // the style given to CreateWindowExW (no bits 0-2, no ShowNoActivate)
    uint32_t adjustStyle;   // the style used to size the frame (no bits 0-2)
    uint32_t exStyle;
    bool hidden;            // StartHidden: not shown
    bool noActivate;        // ShowNoActivate
    bool noContainer;       // NoControlContainer
    int showCommand;        // for ShowWindow unless hidden
    int minMaxState;        // 1 when created minimised or maximised
};
WindowStyleChoice WindowChooseStyle(uint32_t flags);

// Show command for a style's maximise and minimise bits.
int WindowShowCommand(uint32_t style, bool noActivate);

// The position WindowOpen creates at: x of -65535, or y of -65535 without a
// centring flag, gives the system's default for both (CW_USEDEFAULT).
struct WindowPosition { int x, y; };
WindowPosition WindowCreatePosition(int x, int y, uint32_t flags);

// Centring of an outer frame w by h. On the screen: w and h limited to the
// screen first, then the half differences. On a reference rectangle: the half
// differences added to its top-left corner, negative results clamped to 0.
// Divisions truncate toward zero.
WindowPosition WindowCentreOnScreen(int screenWidth, int screenHeight, int w, int h);
WindowPosition WindowCentreOnRect(int left, int top, int right, int bottom, int w, int h);

// Writes prefix followed by value in signed decimal into out (capacity in
// characters, terminator included). Returns the length, or 0 with out holding
// an empty string when it does not fit.
size_t FormatNumberedName(char16_t* out, size_t capacity, const char16_t* prefix, intptr_t value);
// Room for any prefix up to 24 characters and any pointer-wide number.
constexpr size_t NumberedNameCapacity = 48;

// The tab stop that Tab (forward) or Shift+Tab (backward) moves to among the
// candidates in window order, with current the window that has the focus (0
// for none). Forward: the first candidate when there is no current window, the
// one after it (wrapping), nothing (0) when current is not a candidate.
// Backward: the one before it; the last candidate when current is the first,
// is not a candidate, or is 0. Returns 0 when the focus does not move.
intptr_t FocusStepTarget(const intptr_t* candidates, size_t count, intptr_t current, bool forward);
