// Resizing 32-bit pixel blocks with a separable cubic filter, channel by
// channel (blue, green, red and straight alpha alike).
//
// The filter is the Mitchell-Netravali cubic with B = C = 1/3 (support 2); the
// triangle filter (support 1) is also available to the weight builder. When
// shrinking, the kernel is widened by the inverse scale so that every input
// pixel contributes.
#pragma once

#include <cstdint>

#include "runtime/drawing/canvas.h"

// The weights of one pass: for each output position i, the input window
// first[i]..last[i] and its weights at weights[i * slots + (k - first[i])].
struct ResampleTable {
    int outCount;
    int inCount;
    int slots;        // weights reserved per output position
    double scale;     // outCount / inCount
    double radius;    // kernel support in input positions
    double weightScale;
    int* first;
    int* last;
    double* weights;
};

double ResampleCubicKernel(double x);
double ResampleTriangleKernel(double x);

// The weight table for resizing inCount positions to outCount positions, or 0
// when a count is below 1 or memory is short. Free it with ResampleTableFree.
ResampleTable* ResampleWeights(bool cubic, int outCount, int inCount);
void ResampleTableFree(ResampleTable* table);

// Resizes the srcW by srcH block src into the dstW by dstH block dst. Rows are
// exactly width * 4 bytes, in the same order in both blocks. First every fully
// transparent source pixel is rewritten in place as white with alpha 0, so that
// transparent areas do not darken the edges of opaque ones. Returns 1 when
// done, 0 for a null block, a size below 1, or a failed allocation.
int ResamplePixels32(uint8_t* dst, int dstW, int dstH, uint8_t* src, int srcW, int srcH);

// The same on two 32-bit DIB sections (Windows builds only): fills the bitmap
// dst from the bitmap src. Returns 0 when either has no pixel memory.
int ResampleBitmap32(NativeHandle dst, int dstW, int dstH, NativeHandle src, int srcW, int srcH);
