// ImageGrab keeps two memory DCs between calls. These checks pin what that
// must not change: every grab's pixels, the replacement and deletion of the
// previous image, no bitmap left selected where it could not be deleted or
// drawn, and the DCs' own release at ImagesFreeAll.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "runtime/core/main_heap.h"
#include "runtime/drawing/canvas.h"
#include "runtime/drawing/image.h"

namespace {

HGDIOBJ Obj(NativeHandle h) { return reinterpret_cast<HGDIOBJ>(h); }

struct Dib {
    int width = 0, height = 0, bytesPerPixel = 0, pitch = 0;
    uint8_t* bits = nullptr;
    // Pixel (x, y) with y = 0 the top row of the bottom-up rows.
    uint8_t* At(int x, int y) const {
        return bits + static_cast<size_t>(height - 1 - y) * static_cast<size_t>(pitch) +
               static_cast<size_t>(x) * static_cast<size_t>(bytesPerPixel);
    }
};

Dib Open(NativeHandle h) {
    DIBSECTION s;
    std::memset(&s, 0, sizeof(s));
    Dib d;
    if (GetObjectW(reinterpret_cast<HBITMAP>(h), sizeof(s), &s) != static_cast<int>(sizeof(s))) return d;
    d.width = s.dsBm.bmWidth;
    d.height = s.dsBm.bmHeight;
    d.bytesPerPixel = s.dsBm.bmBitsPixel / 8;
    d.pitch = DibRowPitch(d.width, s.dsBm.bmBitsPixel);
    d.bits = static_cast<uint8_t*>(s.dsBm.bmBits);
    return d;
}

// The block (x, y, w, h) of an image, viewed in place.
Dib Block(Dib d, int x, int y, int w, int h) {
    d.bits = d.At(x, y + h - 1);  // its bottom row comes first in memory
    d.width = w;
    d.height = h;
    return d;
}

// Gives every pixel bytes that differ from its neighbours' and are never all zero.
void Paint(NativeHandle h, int seed) {
    Dib d = Open(h);
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x) {
            uint8_t* p = d.At(x, y);
            for (int b = 0; b < d.bytesPerPixel; ++b) p[b] = static_cast<uint8_t>(x * 7 + y * 13 + b * 31 + seed);
            p[2] |= 1;
        }
}

// The grabbed image must hold the source's pixels where the rectangle lies on
// it and zero bytes everywhere else.
void ExpectGrabbed(const Dib& source, const Dib& grabbed, int left, int top) {
    ASSERT_EQ(grabbed.bytesPerPixel, source.bytesPerPixel);
    const std::vector<uint8_t> zero(static_cast<size_t>(source.bytesPerPixel), 0);
    for (int y = 0; y < grabbed.height; ++y)
        for (int x = 0; x < grabbed.width; ++x) {
            const int sx = left + x, sy = top + y;
            const bool inside = sx >= 0 && sy >= 0 && sx < source.width && sy < source.height;
            const uint8_t* expect = inside ? source.At(sx, sy) : zero.data();
            ASSERT_EQ(std::memcmp(grabbed.At(x, y), expect, static_cast<size_t>(source.bytesPerPixel)), 0)
                << "pixel " << x << "," << y << " of a grab at " << left << "," << top;
        }
}

class ImageGrabTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(MainHeapInit(), nullptr);
        CanvasLibInit();
        ImagesInit();
        ImagesFreeAll();
    }
    void TearDown() override {
        if (CurrentCanvas) CanvasEnd();
        ImagesFreeAll();
    }
};

TEST_F(ImageGrabTest, KeptDCsHoldNoImageBetweenGrabsAndGoAtFreeAll) {
    EXPECT_EQ(ImageGrabDC(0), 0);
    EXPECT_EQ(ImageGrabDC(1), 0);
    ASSERT_NE(ImageCreate(2, 30, 20), 0);
    Paint(ImageHandle(2), 5);
    const NativeHandle grabbed = ImageGrab(2, 4, 3, 3, 10, 10);
    ASSERT_NE(grabbed, 0);
    HDC source = reinterpret_cast<HDC>(ImageGrabDC(0));
    HDC target = reinterpret_cast<HDC>(ImageGrabDC(1));
    ASSERT_NE(source, nullptr);
    ASSERT_NE(target, nullptr);
    EXPECT_NE(source, target);
    EXPECT_EQ(GetObjectType(source), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(GetObjectType(target), static_cast<DWORD>(OBJ_MEMDC));
    for (HDC dc : {source, target}) {
        const NativeHandle held = reinterpret_cast<NativeHandle>(GetCurrentObject(dc, OBJ_BITMAP));
        EXPECT_NE(held, ImageHandle(2));
        EXPECT_NE(held, grabbed);
    }
    // The same DCs serve the next grab.
    ASSERT_NE(ImageGrab(2, 5, 0, 0, 4, 4), 0);
    EXPECT_EQ(reinterpret_cast<HDC>(ImageGrabDC(0)), source);
    EXPECT_EQ(reinterpret_cast<HDC>(ImageGrabDC(1)), target);
    ImagesFreeAll();
    EXPECT_EQ(ImageGrabDC(0), 0);
    EXPECT_EQ(ImageGrabDC(1), 0);
    EXPECT_EQ(GetObjectType(source), 0u);
    EXPECT_EQ(GetObjectType(target), 0u);
    EXPECT_EQ(GetObjectType(Obj(grabbed)), 0u);
    // Grabbing after shutdown's release makes new DCs and still copies.
    ASSERT_NE(ImageCreate(2, 8, 8), 0);
    Paint(ImageHandle(2), 9);
    ASSERT_NE(ImageGrab(2, 4, -2, 1, 6, 6), 0);
    ExpectGrabbed(Open(ImageHandle(2)), Open(ImageHandle(4)), -2, 1);
    EXPECT_NE(ImageGrabDC(0), 0);
}

TEST_F(ImageGrabTest, RectanglesOnAndOffTheSourceAtBothDepths) {
    struct Rect {
        int x, y, w, h;
    };
    const Rect rects[] = {
        {0, 0, 37, 23},     // the whole source
        {5, 4, 10, 7},      // inside
        {-3, 2, 8, 5},      // past the left edge
        {30, -4, 12, 9},    // past the top and right edges
        {33, 20, 9, 6},     // past the right and bottom edges
        {-5, -5, 47, 33},   // around the whole source
        {40, 30, 4, 4},     // wholly outside: all black
        {0, 22, 37, 1},     // one row
        {36, 0, 1, 23},     // one column
    };
    for (int depth : {24, 32}) {
        ASSERT_NE(ImageCreate(2, 37, 23, depth), 0);
        Paint(ImageHandle(2), depth);
        const Dib source = Open(ImageHandle(2));
        for (const Rect& r : rects) {
            SCOPED_TRACE(testing::Message() << "depth " << depth << " rect " << r.x << "," << r.y << " " << r.w
                                            << "x" << r.h);
            const NativeHandle grabbed = ImageGrab(2, 4, r.x, r.y, r.w, r.h);
            ASSERT_NE(grabbed, 0);
            const Dib d = Open(grabbed);
            ASSERT_EQ(d.width, r.w);
            ASSERT_EQ(d.height, r.h);
            ExpectGrabbed(source, d, r.x, r.y);
        }
    }
}

TEST_F(ImageGrabTest, ManyGrabsInARowLeaveOnlyTheLastBitmap) {
    ASSERT_NE(ImageCreate(2, 64, 48), 0);
    Paint(ImageHandle(2), 1);
    const Dib source = Open(ImageHandle(2));
    std::vector<NativeHandle> made;
    for (int i = 0; i < 200; ++i) {
        const int x = (i * 7) % 70 - 6, y = (i * 5) % 54 - 6, w = 1 + i % 23, h = 1 + (i * 3) % 19;
        const NativeHandle grabbed = ImageGrab(2, 4, x, y, w, h);
        ASSERT_NE(grabbed, 0) << i;
        ASSERT_EQ(ImageHandle(4), grabbed);
        if (i % 40 == 0) ExpectGrabbed(source, Open(grabbed), x, y);
        made.push_back(grabbed);
    }
    // Each grab deleted the bitmap the one before it made; only the last lives.
    for (size_t i = 0; i + 1 < made.size(); ++i) EXPECT_EQ(GetObjectType(Obj(made[i])), 0u) << i;
    EXPECT_EQ(GetObjectType(Obj(made.back())), static_cast<DWORD>(OBJ_BITMAP));
    // Neither the source nor the last grab is stuck in a kept DC: both delete.
    const NativeHandle sourceBitmap = ImageHandle(2);
    ImageFree(2);
    ImageFree(4);
    EXPECT_EQ(GetObjectType(Obj(sourceBitmap)), 0u);
    EXPECT_EQ(GetObjectType(Obj(made.back())), 0u);
}

TEST_F(ImageGrabTest, GrabbingIntoItsOwnNumberAgainAndAgain) {
    ASSERT_NE(ImageCreate(2, 40, 40), 0);
    Paint(ImageHandle(2), 3);
    for (int size = 36; size >= 4; size -= 8) {
        SCOPED_TRACE(size);
        const NativeHandle old = ImageHandle(2);
        Dib oldCopy = Open(old);
        std::vector<uint8_t> before(oldCopy.bits, oldCopy.bits + static_cast<size_t>(oldCopy.pitch) * oldCopy.height);
        oldCopy.bits = before.data();
        const NativeHandle grabbed = ImageGrab(2, 2, 2, 1, size, size);
        ASSERT_NE(grabbed, 0);
        EXPECT_EQ(ImageHandle(2), grabbed);
        EXPECT_EQ(GetObjectType(Obj(old)), 0u);
        ExpectGrabbed(oldCopy, Open(grabbed), 2, 1);
    }
}

TEST_F(ImageGrabTest, ImagesCanBeDrawnAndGrabbedInTurn) {
    // The demo's order: a Canvas on image 3 is current while image 2 is
    // grabbed; then a Canvas on image 2 itself. A bitmap held by a kept DC
    // would make the second Canvas's DC hold no image.
    ASSERT_NE(ImageCreate(2, 20, 20), 0);
    ASSERT_NE(ImageCreate(3, 20, 20), 0);
    Paint(ImageHandle(2), 11);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        ASSERT_NE(CanvasBegin(ImageCanvas(3)), 0);
        ASSERT_NE(ImageGrab(2, 4, round, round, 8, 8), 0);
        CanvasDrawImage(ImageHandle(4), 4, 4);
        CanvasEnd();
        Canvas* canvas = ImageCanvas(2);
        ASSERT_NE(canvas, nullptr);
        HDC dc = reinterpret_cast<HDC>(canvas->raster.imageDC);
        EXPECT_EQ(reinterpret_cast<NativeHandle>(GetCurrentObject(dc, OBJ_BITMAP)), ImageHandle(2));
        ASSERT_NE(CanvasBegin(canvas), 0);
        CanvasDrawImage(ImageHandle(3), 0, 0);
        CanvasEnd();
        // Image 2 now holds image 3, whose block (4, 4, 8, 8) is image 4.
        ExpectGrabbed(Open(ImageHandle(4)), Block(Open(ImageHandle(2)), 4, 4, 8, 8), 0, 0);
    }
}

TEST_F(ImageGrabTest, GrabFromAnImageWhoseCanvasIsCurrent) {
    ASSERT_NE(ImageCreate(2, 16, 16), 0);
    Paint(ImageHandle(2), 2);
    ASSERT_NE(ImageCreate(4, 3, 3), 0);
    Canvas* canvas = ImageCanvas(2);
    ASSERT_NE(canvas, nullptr);
    ASSERT_NE(CanvasBegin(canvas), 0);
    // Pixels written through the Canvas are what the grab copies.
    canvas->raster.pixels[0] = 0x5A;  // bottom-left pixel's blue byte
    const NativeHandle grabbed = ImageGrab(2, 4, 0, 8, 8, 8);
    ASSERT_NE(grabbed, 0);
    EXPECT_EQ(ImageHandle(4), grabbed);
    ExpectGrabbed(Open(ImageHandle(2)), Open(grabbed), 0, 8);
    EXPECT_EQ(Open(grabbed).At(0, 7)[0], 0x5A);
    // The Canvas's DC still holds its image.
    EXPECT_EQ(reinterpret_cast<NativeHandle>(GetCurrentObject(reinterpret_cast<HDC>(canvas->raster.imageDC), OBJ_BITMAP)),
              ImageHandle(2));
    CanvasEnd();
}

TEST_F(ImageGrabTest, SourceHeldByAnotherDCFailsAndLeavesTheTarget) {
    ASSERT_NE(ImageCreate(2, 16, 16), 0);
    Paint(ImageHandle(2), 6);
    ASSERT_NE(ImageCreate(4, 3, 3), 0);
    const NativeHandle four = ImageHandle(4);
    HDC other = CreateCompatibleDC(nullptr);
    ASSERT_NE(other, nullptr);
    HGDIOBJ placeholder = SelectObject(other, reinterpret_cast<HBITMAP>(ImageHandle(2)));
    ASSERT_NE(placeholder, nullptr);
    // A copy of the DC's placeholder would be black pixels reported as a grab.
    EXPECT_EQ(ImageGrab(2, 4, 0, 0, 8, 8), 0);
    EXPECT_EQ(ImageHandle(4), four);
    EXPECT_EQ(GetObjectType(Obj(four)), static_cast<DWORD>(OBJ_BITMAP));
    SelectObject(other, placeholder);
    DeleteDC(other);
    // Once released the same grab works.
    ASSERT_NE(ImageGrab(2, 4, 0, 0, 8, 8), 0);
    ExpectGrabbed(Open(ImageHandle(2)), Open(ImageHandle(4)), 0, 0);
}

}  // namespace
