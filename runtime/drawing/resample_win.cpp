#include <windows.h>

#include "runtime/drawing/resample.h"

int ResampleBitmap32(NativeHandle dst, int dstW, int dstH, NativeHandle src, int srcW, int srcH) {
    BITMAP target, source;
    if (GetObjectW(reinterpret_cast<HBITMAP>(dst), sizeof(target), &target) != sizeof(target) || !target.bmBits)
        return 0;
    if (GetObjectW(reinterpret_cast<HBITMAP>(src), sizeof(source), &source) != sizeof(source) || !source.bmBits)
        return 0;
    // Rows are width * 4 bytes: both must be 32-bit sections at least as large as stated.
    if (target.bmBitsPixel != 32 || source.bmBitsPixel != 32 || target.bmWidth != dstW || source.bmWidth != srcW ||
        target.bmHeight < dstH || source.bmHeight < srcH)
        return 0;
    GdiFlush();
    return ResamplePixels32(static_cast<uint8_t*>(target.bmBits), dstW, dstH, static_cast<uint8_t*>(source.bmBits),
                            srcW, srcH);
}
