#include "demo/composition.h"

#include <cmath>

#include "runtime/core/array.h"
#include "runtime/core/numeric.h"

namespace {

// Round to nearest, ties to even, under the default rounding mode.
int32_t RoundEven(double v) { return static_cast<int32_t>(std::nearbyint(v)); }

// The ring of the given phase as a slice of the axis's ring cells; false when
// the phase or the tables do not describe a ring.
bool RingOf(void* startArray, void* cellsArray, int32_t phase, int32_t* first, int32_t* size) {
    if (!startArray || !cellsArray || phase < 0 || phase + 1 >= ArrayCount(startArray)) return false;
    const int32_t* start = DemoInts(startArray);
    *first = start[phase];
    *size = start[phase + 1] - start[phase];
    return *size >= 0 && *first >= 0 && *first + *size <= ArrayCount(cellsArray);
}

}  // namespace

int DemoFillCutLists(DemoState& s) {
    int32_t s0x, nX, s0y, nY;
    if (!RingOf(s.ringStartX, s.ringCellsX, s.phaseX, &s0x, &nX)) return 0;
    if (!RingOf(s.ringStartY, s.ringCellsY, s.phaseY, &s0y, &nY)) return 0;
    // Tiles read one entry past the last one written, 2n+2.
    if (!s.cutX || !s.cutY || ArrayCount(s.cutX) < 2 * nX + 3 || ArrayCount(s.cutY) < 2 * nY + 3) return 0;
    s.ringSizeX = nX;
    s.ringSizeY = nY;

    // The window position fields serve as the loop index here.
    int32_t* cut = DemoInts(s.cutX);
    const int32_t* cells = DemoInts(s.ringCellsX);
    const int32_t s1x = s0x + nX;
    cut[0] = 0;
    for (s.windowX = 1; s.windowX <= nX; ++s.windowX) cut[s.windowX] = s.halfWidth - cells[s1x - s.windowX] - 1;
    for (s.windowX = 0; s.windowX < nX; ++s.windowX) cut[nX + 1 + s.windowX] = s.halfWidth + cells[s0x + s.windowX];
    cut[2 * nX + 1] = s.screenWidth - 1;

    cut = DemoInts(s.cutY);
    cells = DemoInts(s.ringCellsY);
    const int32_t s1y = s0y + nY;
    cut[0] = 0;
    for (s.windowY = 1; s.windowY <= nY; ++s.windowY) cut[s.windowY] = s.halfHeight - cells[s1y - s.windowY] - 1;
    for (s.windowY = 0; s.windowY < nY; ++s.windowY) cut[nY + 1 + s.windowY] = s.halfHeight + cells[s0y + s.windowY];
    cut[2 * nY + 1] = s.screenHeight - 1;
    return 1;
}

void DemoTileSchedule(DemoState& s, DemoTileVisitor visit, void* context) {
    const int32_t nX = s.ringSizeX;
    const int32_t nY = s.ringSizeY;
    // windowX holds the larger ring size, windowY each case's offset.
    s.windowX = nX > nY ? nX : nY;
    const int32_t last = 2 * s.windowX + 1;
    for (s.tileOuter = 0; s.tileOuter <= last; ++s.tileOuter) {
        for (s.tileInner = 0; s.tileInner <= last; ++s.tileInner) {
            const int32_t a = s.tileOuter;
            const int32_t b = s.tileInner;
            // Tiles right of the centre and their mirrors. The row bound is
            // tested on a, not on the offset row.
            s.windowY = nX > nY ? nY - nX : 0;
            if (a + s.windowY >= 0 && a < 2 * nY + 2 && b < 2 * nX + 2) {
                const int32_t y = a + s.windowY;
                if (y + b <= nX + nY && y - b <= nY - nX) {
                    visit(s, 2 * nX + 1 - b, y, context);
                    visit(s, b, 2 * nY + 1 - y, context);
                }
            }
            // Tiles left of the centre and their mirrors. The column bound is
            // tested on a, not on the offset column.
            s.windowY = nY > nX ? nX - nY : 0;
            if (a + s.windowY >= 0 && b < 2 * nY + 2 && a < 2 * nX + 2) {
                const int32_t x = a + s.windowY;
                if (x + b <= nX + nY && b - x >= nY - nX) {
                    visit(s, x, b, context);
                    visit(s, 2 * nX + 1 - x, 2 * nY + 1 - b, context);
                }
            }
        }
    }
}

DemoTileMove DemoTileGeometry(const DemoState& s, int32_t p, int32_t q) {
    const int32_t* cutX = DemoInts(s.cutX);
    const int32_t* cutY = DemoInts(s.cutY);
    int32_t left = cutX[p];
    int32_t top = cutY[q];
    int32_t right = cutX[p + 1] + 2;
    int32_t bottom = cutY[q + 1] + 2;
    // Away from the centre and around it: by (u - v, u + v).
    const int32_t u = p - s.ringSizeX;
    const int32_t v = q - s.ringSizeY;
    int32_t x = cutX[p] + u - v;
    int32_t y = cutY[q] + u + v;
    if (x < 0) {
        left -= x;
        x = 0;
    }
    if (y < 0) {
        top -= y;
        y = 0;
    }
    // Only the destination is tested here, so a source rectangle may reach
    // one row or column past the picture; the grab handles that.
    if (x + (right - left) > s.screenWidth) right = left - x + s.screenWidth;
    if (y + (bottom - top) > s.screenHeight) bottom = top - y + s.screenHeight;
    DemoTileMove m;
    m.left = left;
    m.top = top;
    m.width = right - left;
    m.height = bottom - top;
    m.x = x;
    m.y = y;
    m.draws = left < right && top < bottom;
    return m;
}

void DemoAdvancePhase(DemoState& s) {
    if (++s.phaseX == RoundEven(s.ringCountX)) s.phaseX = 0;
    if (++s.phaseY == RoundEven(s.ringCountY)) s.phaseY = 0;
}

int DemoComposeTiles(DemoState& s, DemoTileVisitor visit, void* context) {
    if (!DemoFillCutLists(s)) return 0;
    DemoTileSchedule(s, visit, context);
    DemoAdvancePhase(s);
    return 1;
}

DemoSeedLine DemoNextSeedLine(DemoState& s) {
    // The angle is a plain number of radians here.
    const double angle = s.angle;
    s.red = TruncToInt(std::sin(angle) * 255.0);
    s.green = TruncToInt(std::sin(angle + 90.0) * 255.0);
    s.blue = TruncToInt(std::sin(angle + 180.0) * 255.0);
    if (RandomUpTo(10) < 2) {
        s.red = 0;
        s.green = 0;
        s.blue = 0;
    }
    s.angle = (s.angle + 4) % 360;
    DemoSeedLine line;
    line.colour = ColorRGB(s.red, s.green, s.blue);
    // Degrees to radians with pi in single precision.
    const double theta = s.angle * static_cast<double>(3.14159274f) / 180.0;
    line.x1 = s.halfWidth;
    line.y1 = s.halfHeight;
    line.x2 = RoundEven(s.halfWidth + 4.0 * std::cos(theta));
    line.y2 = RoundEven(s.halfHeight + 4.0 * std::sin(theta));
    return line;
}
