// Partition tables: each half axis of the screen is split into rings of cells
// (a cell is a distance from the centre along one axis) spread as evenly as
// possible, every cell in exactly one ring. The frame code cuts the picture
// along one ring per axis each frame, so no seam stays in place.
//
// All functions work on the DemoState they are given; the program passes Demo.
#pragma once

#include "demo/demo_state.h"

enum class DemoAxis { X, Y };

// Creates the two cut lists as integer arrays of 2 elements each; the table
// passes resize them. Returns 1, or 0 when memory runs out.
int DemoCreateCutLists(DemoState& s);

// Screen size and half sizes (integer division).
void DemoSetScreenSize(DemoState& s, int32_t width, int32_t height);

// Ring steps (0.05), clears the pass scratch fields and computes in single
// precision the ring counts (41.0) and ring widths (9.780488 and 7.3414636 for
// 800 by 600).
void DemoSetRingConstants(DemoState& s);

// Creates the ring tables and the free-cell flags, then runs the x pass and the
// y pass. Needs the cut lists, the screen size and the ring constants. Returns
// 1, or 0 when an array cannot be created (the tables are then unusable).
int DemoBuildTables(DemoState& s);

// One pass over one axis (the arrays must exist). Leaves the ring count in
// s.angle and resizes the axis's cut list to 2 * maxRingSize + 5 elements.
// Returns 1, or 0 when the arrays are missing or too small for the axis or the
// cut list cannot be resized.
int DemoTablePass(DemoState& s, DemoAxis axis);

// Ring r of an axis: its first cell index in ringCells and its size.
int32_t DemoRingStart(const DemoState& s, DemoAxis axis, int32_t ring);
int32_t DemoRingLength(const DemoState& s, DemoAxis axis, int32_t ring);
