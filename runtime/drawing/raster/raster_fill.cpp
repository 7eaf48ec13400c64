// The raster flood fill. Each filled run is recorded as a FillSpan on its row,
// which hides it from later scans of the same fill; this ends the fill even
// when writing a pixel leaves its colour as it was.
//
// The fill is depth first: a run is filled, then the row above it is scanned
// left to right, each unfilled inside pixel found there starting a nested run
// that is finished (with everything it reaches) before the scan goes on; then
// the row below. The nesting is kept on an explicit stack on MainHeap, so a
// large area cannot overflow the thread's stack.
#include <cstdint>

#include "runtime/core/array.h"
#include "runtime/core/block_pool.h"
#include "runtime/core/main_heap.h"
#include "runtime/drawing/raster/raster_pixel.h"
#include "runtime/drawing/raster/raster_shape.h"

namespace {

// A run filled during the current fill: the pixels strictly between left and right.
struct FillSpan {
    FillSpan* next;
    int left, right;
};

// A run whose neighbouring rows are being scanned.
struct FillFrame {
    int y, left, right;
    int j;         // next column to look at in the row being scanned
    int phase;     // 0: scanning the row above, 1: the row below
    bool mayStart; // a nested run may start at column j
    bool resume;   // a nested run started at column j has just finished
};

class Filler {
public:
    Filler(Canvas* canvas, uint32_t key, bool untilBorder)
        : canvas_(canvas),
          rows_(static_cast<FillSpan**>(canvas->raster.fillSpans)),
          pool_(canvas->raster.fillPool),
          key_(key),
          untilBorder_(untilBorder),
          general_(RasterNeedsGeneralWriter(canvas)),
          write_(RasterFrontWriterFor(canvas)) {}

    ~Filler() { MainFree(stack_); }

    void Run(int x, int y) {
        if (!Push(x, y)) return;
        while (depth_ > 0) {
            FillFrame& f = stack_[depth_ - 1];
            const int row = f.phase == 0 ? f.y - 1 : f.y + 1;
            if (f.resume) {
                // Read the pixel again: the nested run may have changed it.
                f.resume = false;
                f.mayStart = !Inside(f.j, row);
                ++f.j;
            }
            const bool rowExists = f.phase == 0 ? f.y > 0 : f.y < canvas_->height - 1;
            bool nested = false;
            if (rowExists) {
                while (f.j < f.right) {
                    if (f.mayStart && Inside(f.j, row) && !Filled(row, f.j)) {
                        f.resume = true;
                        nested = true;
                        const int j = f.j;  // Push may move the stack
                        if (!Push(j, row)) return;
                        break;
                    }
                    f.mayStart = !Inside(f.j, row);
                    ++f.j;
                }
            }
            if (nested) continue;
            if (f.phase == 0) {
                f.phase = 1;
                f.j = f.left + 1;
                f.mayStart = true;
            } else {
                --depth_;
            }
        }
    }

private:
    uint32_t KeyAt(int x, int y) const {
        const uint8_t* p = RasterPixelAddress(canvas_, x, y);
        return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16;
    }

    bool Inside(int x, int y) const { return untilBorder_ ? KeyAt(x, y) != key_ : KeyAt(x, y) == key_; }

    bool Filled(int y, int x) const {
        for (const FillSpan* s = rows_[y]; s; s = s->next)
            if (s->left < x && x < s->right) return true;
        return false;
    }

    void Write(int x, int y) {
        uint8_t* p = RasterPixelAddress(canvas_, x, y);
        if (general_) RasterWritePixelAt(canvas_, p, x, y);
        else write_(canvas_, p);
    }

    // Fills the run through (x, y) (its left walk starts at x - 1), records it
    // and pushes it for scanning. False when memory runs out: the fill stops.
    bool Push(int x, int y) {
        int left = x - 1;
        while (left >= 0 && Inside(left, y)) Write(left--, y);
        int right = x;
        while (right < canvas_->width && Inside(right, y)) Write(right++, y);

        auto* span = static_cast<FillSpan*>(PoolAlloc(pool_));
        if (!span) return false;
        span->left = left;
        span->right = right;
        span->next = rows_[y];
        rows_[y] = span;

        if (depth_ == capacity_) {
            int grown = capacity_ ? capacity_ * 2 : 64;
            auto* stack = static_cast<FillFrame*>(stack_ ? MainReAlloc(stack_, sizeof(FillFrame) * grown)
                                                         : MainAlloc(sizeof(FillFrame) * grown));
            if (!stack) return false;
            stack_ = stack;
            capacity_ = grown;
        }
        stack_[depth_++] = FillFrame{y, left, right, left + 1, 0, true, false};
        return true;
    }

    Canvas* canvas_;
    FillSpan** rows_;
    BlockPool* pool_;
    uint32_t key_;
    bool untilBorder_;
    bool general_;
    RasterFrontWriter write_;
    FillFrame* stack_ = nullptr;
    int depth_ = 0;
    int capacity_ = 0;
};

}  // namespace

void RasterFillArea(Canvas* canvas, int x, int y, Color border) {
    if (x < 0 || y < 0 || x >= canvas->width || y >= canvas->height) return;
    RasterTail& r = canvas->raster;
    if (!r.fillPool) {
        r.fillPool = PoolCreate(sizeof(FillSpan), 128, 1024, PoolPrivate);
        if (!r.fillPool) return;
    }
    if (!r.fillSpans || ArrayCount(r.fillSpans) < canvas->height) {
        if (!ArrayCreate(sizeof(FillSpan*), canvas->height, 0, nullptr, &r.fillSpans)) return;
    }
    auto** rows = static_cast<FillSpan**>(r.fillSpans);
    for (int i = 0; i < canvas->height; ++i) rows[i] = nullptr;

    // Pixels compare by their blue, green and red bytes; alpha is ignored.
    const bool untilBorder = border != 0xFFFFFFFFu;
    uint32_t key;
    if (untilBorder) {
        key = (border >> 16 & 0xFF) | (border & 0xFF00) | (border & 0xFF) << 16;
    } else {
        const uint8_t* p = RasterPixelAddress(canvas, x, y);
        key = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16;
    }
    {
        Filler filler(canvas, key, untilBorder);
        filler.Run(x, y);
    }
    PoolClear(r.fillPool);
}
