#include "runtime/window/window_layout.h"

#include "runtime/window/window.h"

namespace {
// Bits of a style that WindowOpen reads as its own flags rather than styles.
constexpr uint32_t kOwnBits = CentreOnScreen | CentreOnParent | ToolWindow;
// ToolWindow drops WS_MINIMIZE, WS_MAXIMIZE, WS_MINIMIZEBOX and WS_MAXIMIZEBOX.
constexpr uint32_t kToolWindowKeep = 0xDEFCFFFFu;
}  // namespace

int WindowShowCommand(uint32_t style, bool noActivate) {
    if (style & StyleMaximize) return noActivate ? ShowNA : ShowMaximized;
    if (style & StyleMinimize) return noActivate ? ShowMinNoActive : ShowMinimized;
    return noActivate ? ShowNoActivateCmd : ShowNormal;
}

WindowStyleChoice WindowChooseStyle(uint32_t flags) {
    WindowStyleChoice c{};
    uint32_t style = flags;
    c.noContainer = (style & NoControlContainer) != 0;
    style &= ~static_cast<uint32_t>(NoControlContainer);
    // Nothing but the show and centring flags: a plain captioned window.
    if ((style & ~static_cast<uint32_t>(StartHidden | CentreOnScreen | CentreOnParent)) == 0) style |= StyleCaption;
    if (style & StartHidden) {
        style &= ~static_cast<uint32_t>(StartHidden);
        c.hidden = true;
    }
    c.noActivate = (style & ShowNoActivate) != 0;
    if (style & ToolWindow) {
        style = (style & kToolWindowKeep) | StyleCaption;
        c.exStyle = ExStyleToolWindow;
    }
    c.style = style;
    c.adjustStyle = style & ~kOwnBits;
    c.createStyle = style & 0xFDFFFFF8u;
    c.showCommand = WindowShowCommand(style, c.noActivate);
    c.minMaxState = (style & (StyleMinimize | StyleMaximize)) ? 1 : 0;
    return c;
}

WindowPosition WindowCreatePosition(int x, int y, uint32_t flags) {
    constexpr int kUseDefault = static_cast<int>(0x80000000u);
    if (x == WindowDefaultPosition || (y == WindowDefaultPosition && !(flags & (CentreOnScreen | CentreOnParent))))
        return {kUseDefault, kUseDefault};
    return {x, y};
}

WindowPosition WindowCentreOnScreen(int screenWidth, int screenHeight, int w, int h) {
    if (w > screenWidth) w = screenWidth;
    if (h > screenHeight) h = screenHeight;
    return {(screenWidth - w) / 2, (screenHeight - h) / 2};
}

WindowPosition WindowCentreOnRect(int left, int top, int right, int bottom, int w, int h) {
    int x = left + ((right - left) - w) / 2;
    int y = top + ((bottom - top) - h) / 2;
    return {x < 0 ? 0 : x, y < 0 ? 0 : y};
}

size_t FormatNumberedName(char16_t* out, size_t capacity, const char16_t* prefix, intptr_t value) {
    if (!out || capacity == 0) return 0;
    char16_t digits[24];
    size_t nd = 0;
    // Work on the magnitude as unsigned so that the most negative value works too.
    uintptr_t magnitude = value < 0 ? uintptr_t{0} - static_cast<uintptr_t>(value) : static_cast<uintptr_t>(value);
    do {
        digits[nd++] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    size_t np = 0;
    while (prefix && prefix[np]) ++np;
    size_t length = np + (value < 0 ? 1 : 0) + nd;
    if (length + 1 > capacity) {
        out[0] = 0;
        return 0;
    }
    size_t k = 0;
    for (size_t i = 0; i < np; ++i) out[k++] = prefix[i];
    if (value < 0) out[k++] = u'-';
    while (nd) out[k++] = digits[--nd];
    out[k] = 0;
    return length;
}

intptr_t FocusStepTarget(const intptr_t* candidates, size_t count, intptr_t current, bool forward) {
    if (!candidates || count == 0) return 0;
    size_t at = count;  // index of current among the candidates, count if absent
    if (current)
        for (size_t i = 0; i < count; ++i)
            if (candidates[i] == current) {
                at = i;
                break;
            }
    if (forward) {
        if (!current) return candidates[0];
        if (at == count) return 0;
        return candidates[at + 1 < count ? at + 1 : 0];
    }
    if (at == count || at == 0) return candidates[count - 1];
    return candidates[at - 1];
}
