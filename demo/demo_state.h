// The demo's whole state: one record of plain fields, zero-filled by the entry
// before anything else runs. Several fields serve two purposes at different
// times; the table passes and the frame code document which.
//
// The arrays are dynamic arrays of 32-bit integers (runtime/core/array.h); each
// field is the array variable, holding the address of element 0 or 0.
#pragma once

#include <cstdint>

#include "runtime/drawing/canvas.h"

struct DemoState {
    int32_t screenWidth;
    float weight;           // score loop of the table passes
    float score;            // score loop of the table passes
    int32_t halfWidth;
    int32_t halfHeight;
    // Seed-line angle in degrees. The table passes use this same field as their
    // ring counter, so the frame loop starts with the ring count left in it (41).
    int32_t angle;
    union {
        int32_t pickCount;  // table passes: cells picked for the current ring
        int32_t blue;       // frames: blue part of the seed colour
    };
    int32_t cellCount;
    float accumWidth;
    int32_t ringSize;
    union {
        int32_t cellTotal;  // table passes: cells handed out so far
        int32_t green;      // frames: green part of the seed colour
    };
    int32_t candidate;
    int32_t bestCell;
    int32_t distance;
    float bestScore;        // also holds the larger half size while the tables are sized
    int32_t red;
    int32_t windowX;        // window left edge; reused by the frame code
    int32_t windowY;        // window top edge; reused by the frame code
    int32_t ringSizeX;
    int32_t ringSizeY;
    float ringCountX;
    float ringCountY;
    float stepX;
    int32_t tileInner;      // tile schedule: inner loop index b
    int32_t tileOuter;      // tile schedule: outer loop index a
    NativeHandle desktopWindow;
    float stepY;
    float ringWidthX;
    float ringWidthY;
    int32_t maxRingSize;
    int32_t screenHeight;
    int32_t phaseX;
    int32_t phaseY;
    int32_t desktopRect[4];  // left, top, right, bottom
    void* cutX;
    void* cutY;
    void* ringCellsX;
    void* ringStartX;
    void* ringCellsY;
    void* ringStartY;
    void* freeCell;
};

// The program's one instance.
extern DemoState Demo;

// Element access for the integer arrays held in the fields above.
inline int32_t* DemoInts(void* array) { return static_cast<int32_t*>(array); }
