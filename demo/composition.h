// The arithmetic of one frame of the effect, free of any drawing: the cut lists
// along this frame's rings, the order in which tiles are moved, where each tile
// comes from and where it lands, the ring phase, and the seed line's colour and
// direction. The frame code (demo/frame.h) does the image work around it.
//
// Tiles are addressed by a column p in 0..2nX+1 and a row q in 0..2nY+1, where
// nX and nY are the sizes of this frame's x and y rings. Tile (p, q) spans the
// columns cutX[p] .. cutX[p+1]+1 and the rows cutY[q] .. cutY[q+1]+1, so
// neighbouring tiles overlap by two pixels; tile (nX, nY) is the centre tile.
#pragma once

#include <cstdint>

#include "demo/demo_state.h"

// Writes entries 0 .. 2n+1 of both cut lists for the rings of phaseX and phaseY
// (0, the ring's cells mirrored left of the centre outermost first, the cells
// right of the centre innermost first, the last column or row) and sets
// ringSizeX and ringSizeY. Entries beyond keep what earlier frames left there.
// Returns 1, or 0 when a cut list is missing or too short for the ring (nothing
// is written then).
int DemoFillCutLists(DemoState& s);

// Called for each tile of the schedule, in order.
typedef void (*DemoTileVisitor)(DemoState& s, int32_t p, int32_t q, void* context);

// Visits every tile of the current ring sizes once, each tile followed by its
// point mirror (2nX+1-p, 2nY+1-q), in the order in which they are drawn: later
// tiles paint over earlier ones where they overlap.
void DemoTileSchedule(DemoState& s, DemoTileVisitor visit, void* context);

// Where tile (p, q) comes from and where it lands after clipping to the screen.
struct DemoTileMove {
    int32_t left, top;       // source rectangle in the previous frame
    int32_t width, height;
    int32_t x, y;            // destination of its top-left corner
    bool draws;              // false: nothing of the tile lands on the screen
};
DemoTileMove DemoTileGeometry(const DemoState& s, int32_t p, int32_t q);

// Moves both phases to the next ring, wrapping after the last.
void DemoAdvancePhase(DemoState& s);

// Cut lists, tile schedule and phase advance: the whole tile work of a frame.
// Returns 0 (and visits nothing) when the cut lists cannot be filled.
int DemoComposeTiles(DemoState& s, DemoTileVisitor visit, void* context);

// The seed line of a frame: a short line from the centre.
struct DemoSeedLine {
    Color colour;            // ColorRGB of the three parts; black in 2 frames of 11 on average
    int32_t x1, y1, x2, y2;
};
// Computes the colour from angle (one RandomUpTo draw), advances angle by 4
// degrees and points the line along the new angle.
DemoSeedLine DemoNextSeedLine(DemoState& s);
