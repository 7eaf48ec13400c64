#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "runtime/core/main_heap.h"
#include "runtime/drawing/gdi/drawing_library.h"
#include "runtime/drawing/image.h"

#include "dib_section_win.h"

namespace {

// Gives every pixel of an image bytes derived from its position.
void Paint(NativeHandle h, int seed) {
    DIBSECTION dib = Section(h);
    const int bytes = dib.dsBm.bmBitsPixel / 8;
    for (int y = 0; y < dib.dsBm.bmHeight; ++y)
        for (int x = 0; x < dib.dsBm.bmWidth; ++x) {
            uint8_t* p = PixelOf(h, x, y);
            p[0] = static_cast<uint8_t>(x * 3 + seed);
            p[1] = static_cast<uint8_t>(y * 5 + seed);
            p[2] = static_cast<uint8_t>(x + y + 1);
            if (bytes == 4) p[3] = static_cast<uint8_t>(200 + seed);
        }
}

ImageRecord* RecordOf(ObjectNumber n) { return static_cast<ImageRecord*>(ObjectTableGet(ImageTable, n)); }

int LiveImages() {
    int count = 0;
    ObjectNumber n;
    for (void* e = ObjectTableFirst(ImageTable, &n); e; e = ObjectTableNext(ImageTable, &n)) ++count;
    return count;
}

int AllEntries() {
    int count = 0;
    for (DynamicEntryNode* node = ImageTable->dynamicList; node; node = node->next) ++count;
    return count;
}

class ImageObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        ImagesInit();
        ASSERT_NE(ImageTable, nullptr);
    }
    void TearDown() override {
        CanvasEnd();
        ImageFree(-1);
        EXPECT_EQ(LiveImages(), 0);
    }
};

TEST_F(ImageObjectTest, CreateMakesABlack24BitSectionAndHandleAgrees) {
    const intptr_t handle = ImageCreate(2, 800, 600);
    ASSERT_NE(handle, 0);
    EXPECT_EQ(ImageHandle(2), handle);
    DIBSECTION dib = Section(handle);
    EXPECT_EQ(dib.dsBm.bmWidth, 800);
    EXPECT_EQ(dib.dsBm.bmHeight, 600);
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 24);
    EXPECT_GT(dib.dsBmih.biHeight, 0);  // bottom-up
    EXPECT_EQ(dib.dsBmih.biCompression, static_cast<DWORD>(BI_RGB));
    const auto* bits = static_cast<const uint8_t*>(dib.dsBm.bmBits);
    size_t nonZero = 0;
    for (size_t i = 0; i < 2400u * 600u; ++i) nonZero += bits[i] != 0;
    EXPECT_EQ(nonZero, 0u);
    ImageRecord* r = RecordOf(2);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->width, 800);
    EXPECT_EQ(r->height, 600);
    EXPECT_EQ(r->depth, 24);
    EXPECT_EQ(ImageHandle(3), 0);
}

TEST_F(ImageObjectTest, FillsByDepthAndColour) {
    struct Case {
        int depth;
        Color colour;
        int recordedDepth;
        uint8_t bytes[4];  // memory order of every pixel
    };
    const Case cases[] = {
        {32, 0, 32, {0, 0, 0, 0xFF}},
        {32, 0xFFFFFFFFu, 32, {0, 0, 0, 0}},
        {32, 0x000000FFu, 32, {0, 0, 0xFF, 0xFF}},
        {32, 0x40123456u, 32, {0x12, 0x34, 0x56, 0xFF}},
        {24, 0x00336699u, 24, {0x33, 0x66, 0x99}},
        {24, 0xFF0000FFu, 24, {0, 0, 0xFF}},
        {16, 0x00FF0000u, 24, {0xFF, 0, 0}},
        {8, 0, 24, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "depth " << c.depth << " colour " << std::hex << c.colour);
        const intptr_t handle = ImageCreate(5, 10, 7, c.depth, c.colour);
        ASSERT_NE(handle, 0);
        ASSERT_NE(RecordOf(5), nullptr);
        EXPECT_EQ(RecordOf(5)->depth, c.recordedDepth);
        EXPECT_EQ(Section(handle).dsBm.bmBitsPixel, c.recordedDepth);
        const int bytes = c.recordedDepth / 8;
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 10; ++x)
                ASSERT_EQ(std::memcmp(PixelOf(handle, x, y), c.bytes, static_cast<size_t>(bytes)), 0) << x << "," << y;
    }
}

TEST_F(ImageObjectTest, FailedCreateLeavesTheNumberEmpty) {
    struct Case {
        int width, height;
    };
    const Case cases[] = {{0, 10}, {10, 0}, {-4, 10}, {10, -1}, {40000, 1}, {1, 32768}};
    for (const Case& c : cases) {
        ASSERT_NE(ImageCreate(6, 4, 4), 0);
        const intptr_t old = ImageHandle(6);
        EXPECT_EQ(ImageCreate(6, c.width, c.height), 0) << c.width << "x" << c.height;
        EXPECT_EQ(ImageHandle(6), 0);
        EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(old)), 0u);  // the old image was freed
        // For AnyNumber no empty entry is left behind.
        const int entries = AllEntries();
        EXPECT_EQ(ImageCreate(AnyNumber, c.width, c.height), 0);
        EXPECT_EQ(AllEntries(), entries);
    }
}

TEST_F(ImageObjectTest, AnyNumberGivesFreshNumbersAndFixedNumbersReplace) {
    const intptr_t a = ImageCreate(AnyNumber, 3, 3);
    const intptr_t b = ImageCreate(AnyNumber, 3, 3);
    ASSERT_NE(a, 0);
    ASSERT_NE(b, 0);
    EXPECT_NE(a, b);
    EXPECT_NE(ImageHandle(a), 0);
    EXPECT_NE(ImageHandle(b), 0);
    const intptr_t first = ImageCreate(9, 3, 3);
    const intptr_t second = ImageCreate(9, 4, 4);
    EXPECT_NE(first, second);
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(first)), 0u);
    EXPECT_EQ(ImageHandle(9), second);
    ImageFree(a);
    EXPECT_EQ(ImageHandle(a), 0);
    EXPECT_NE(ImageHandle(b), 0);
    ImageFree(9);
    EXPECT_EQ(ImageHandle(9), 0);
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(second)), 0u);
    ImagesFreeAll();
    EXPECT_EQ(ImageHandle(b), 0);
}

TEST_F(ImageObjectTest, CanvasFormatsPitchesAndDepths) {
    struct Case {
        int width, depth, format, bytesPerPixel, canvasDepth, pitch;
    };
    const Case cases[] = {
        {801, 24, 0x8010, 3, 24, 2404},
        {800, 24, 0x8010, 3, 24, 2400},
        {801, 32, 0x8040, 4, 32, 3204},
    };
    const DWORD limitBefore = GdiGetBatchLimit();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        ASSERT_NE(ImageCreate(3, c.width, 5, c.depth), 0);
        Canvas* canvas = ImageCanvas(3);
        ASSERT_NE(canvas, nullptr);
        EXPECT_EQ(CurrentCanvas, canvas);
        EXPECT_EQ(canvas->raster.pixelFormat, c.format);
        EXPECT_EQ(canvas->raster.bytesPerPixel, c.bytesPerPixel);
        EXPECT_EQ(canvas->depth, c.canvasDepth);
        EXPECT_EQ(canvas->raster.pitch, c.pitch);
        EXPECT_EQ(canvas->width, c.width);
        EXPECT_EQ(canvas->height, 5);
        EXPECT_EQ(canvas->raster.imageBitmap, ImageHandle(3));
        EXPECT_EQ(canvas->raster.pixels, Section(ImageHandle(3)).dsBm.bmBits);
        EXPECT_EQ(canvas->release, &ImageCanvasRelease);
        HDC dc = reinterpret_cast<HDC>(canvas->raster.imageDC);
        ASSERT_NE(dc, nullptr);
        EXPECT_EQ(reinterpret_cast<NativeHandle>(GetCurrentObject(dc, OBJ_BITMAP)), ImageHandle(3));
        EXPECT_EQ(GdiGetBatchLimit(), 1u);
        EXPECT_EQ(CanvasBegin(canvas), canvas->raster.imageDC);
        CanvasEnd();
        EXPECT_EQ(CurrentCanvas, nullptr);
        EXPECT_EQ(GetObjectType(dc), 0u);  // the memory DC is gone
        EXPECT_EQ(GdiGetBatchLimit(), limitBefore);
    }
}

TEST_F(ImageObjectTest, CanvasRefusesNumbersWithoutImages) {
    EXPECT_EQ(ImageCanvas(12), nullptr);
    EXPECT_EQ(ImageCanvas(AnyNumber), nullptr);
    EXPECT_EQ(CurrentCanvas, nullptr);
    // A record holding something that is not a bitmap.
    auto* r = static_cast<ImageRecord*>(ObjectTableGetOrCreate(ImageTable, 12));
    r->bitmap = reinterpret_cast<NativeHandle>(GetStockObject(BLACK_BRUSH));
    EXPECT_EQ(ImageCanvas(12), nullptr);
    // A device bitmap has no pixel memory to draw into.
    HBITMAP ddb = CreateBitmap(4, 4, 1, 32, nullptr);
    r->bitmap = reinterpret_cast<NativeHandle>(ddb);
    r->width = r->height = 4;
    r->depth = 32;
    EXPECT_EQ(ImageCanvas(12), nullptr);
    EXPECT_EQ(CurrentCanvas, nullptr);
    ImageFree(12);
    EXPECT_EQ(GetObjectType(ddb), 0u);
}

TEST_F(ImageObjectTest, GrabCopiesARectangleAndLeavesOutsidePixelsBlack) {
    ASSERT_NE(ImageCreate(2, 20, 10), 0);
    Paint(ImageHandle(2), 1);
    // One row below the source: the last row of the new image is black.
    const intptr_t grabbed = ImageGrab(2, 4, 3, 1, 12, 10);
    ASSERT_NE(grabbed, 0);
    EXPECT_EQ(ImageHandle(4), grabbed);
    ImageRecord* r = RecordOf(4);
    EXPECT_EQ(r->width, 12);
    EXPECT_EQ(r->height, 10);
    EXPECT_EQ(r->depth, 24);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            const uint8_t* p = PixelOf(grabbed, x, y);
            if (y == 9) {
                ASSERT_EQ(p[0] | p[1] | p[2], 0) << x;
            } else {
                ASSERT_EQ(std::memcmp(p, PixelOf(ImageHandle(2), x + 3, y + 1), 3), 0) << x << "," << y;
            }
        }
    // Again into the same number: a new bitmap, the previous one freed.
    const intptr_t again = ImageGrab(2, 4, -2, -2, 4, 4);
    ASSERT_NE(again, 0);
    EXPECT_NE(again, grabbed);
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(grabbed)), 0u);
    EXPECT_EQ(PixelOf(again, 1, 1)[2], 0);
    EXPECT_EQ(std::memcmp(PixelOf(again, 2, 3), PixelOf(ImageHandle(2), 0, 1), 3), 0);
}

TEST_F(ImageObjectTest, GrabNumbersAndFailures) {
    ASSERT_NE(ImageCreate(2, 8, 8, 32), 0);
    const intptr_t a = ImageGrab(2, AnyNumber, 0, 0, 4, 4);
    const intptr_t b = ImageGrab(2, AnyNumber, 0, 0, 4, 4);
    ASSERT_NE(a, 0);
    ASSERT_NE(b, 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(RecordOf(a)->depth, 32);
    EXPECT_EQ(Section(ImageHandle(a)).dsBm.bmBitsPixel, 32);
    // Failures leave the target as it was.
    ASSERT_NE(ImageCreate(7, 2, 2), 0);
    const intptr_t seven = ImageHandle(7);
    EXPECT_EQ(ImageGrab(99, 7, 0, 0, 4, 4), 0);
    EXPECT_EQ(ImageGrab(2, 7, 0, 0, 0, 4), 0);
    EXPECT_EQ(ImageGrab(2, 7, 0, 0, 4, 40000), 0);
    EXPECT_EQ(ImageHandle(7), seven);
}

TEST_F(ImageObjectTest, GrabIntoItsOwnNumberReplacesWithoutLeaking) {
    ASSERT_NE(ImageCreate(2, 10, 10), 0);
    Paint(ImageHandle(2), 4);
    const intptr_t old = ImageHandle(2);
    std::vector<uint8_t> expect(PixelOf(old, 5, 5), PixelOf(old, 5, 5) + 3);
    const intptr_t grabbed = ImageGrab(2, 2, 5, 5, 5, 5);
    ASSERT_NE(grabbed, 0);
    EXPECT_EQ(ImageHandle(2), grabbed);
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(old)), 0u);  // deleted, not stuck in a DC
    EXPECT_EQ(std::vector<uint8_t>(PixelOf(grabbed, 0, 0), PixelOf(grabbed, 0, 0) + 3), expect);
}

TEST_F(ImageObjectTest, FreeingTheImageBeingDrawnDeletesItsBitmapAndDC) {
    const DWORD limitBefore = GdiGetBatchLimit();
    for (int route = 0; route < 4; ++route) {
        SCOPED_TRACE(route);
        ASSERT_NE(ImageCreate(2, 8, 8), 0);
        const intptr_t old = ImageHandle(2);
        Canvas* canvas = ImageCanvas(2);
        ASSERT_NE(CanvasBegin(canvas), 0);
        HDC dc = reinterpret_cast<HDC>(canvas->raster.imageDC);
        switch (route) {
        case 0: EXPECT_NE(ImageCreate(2, 8, 8), 0); break;
        case 1: EXPECT_NE(ImageGrab(2, 2, 0, 0, 4, 4), 0); break;
        case 2: EXPECT_NE(canvas->grabImage(canvas, 2, 0, 0, 4, 4), 0); break;
        default: ImageFree(2); break;
        }
        EXPECT_EQ(CurrentCanvas, nullptr);
        EXPECT_EQ(GetObjectType(dc), 0u);
        EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(old)), 0u);  // deleted, not left selected
        EXPECT_EQ(GdiGetBatchLimit(), limitBefore);
    }
}

TEST_F(ImageObjectTest, RasterGrabAtNegativeCorner) {
    ASSERT_NE(ImageCreate(2, 30, 20), 0);
    Paint(ImageHandle(2), 9);
    Canvas* canvas = ImageCanvas(2);
    ASSERT_NE(canvas, nullptr);
    ASSERT_NE(CanvasBegin(canvas), 0);
    ASSERT_EQ(canvas->grabImage, &RasterGrabImage);
    const intptr_t grabbed = canvas->grabImage(canvas, 7, -5, -5, 10, 10);
    ASSERT_NE(grabbed, 0);
    EXPECT_EQ(ImageHandle(7), grabbed);
    EXPECT_EQ(RecordOf(7)->width, 10);
    EXPECT_EQ(RecordOf(7)->depth, 24);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const uint8_t* p = PixelOf(grabbed, x, y);
            if (x < 5 || y < 5) {
                ASSERT_EQ(p[0] | p[1] | p[2], 0) << x << "," << y;
            } else {
                ASSERT_EQ(std::memcmp(p, PixelOf(ImageHandle(2), x - 5, y - 5), 3), 0) << x << "," << y;
            }
        }
    // AnyNumber gives a number; a rectangle wholly outside gives a black image.
    const intptr_t any = canvas->grabImage(canvas, AnyNumber, 100, 100, 3, 3);
    ASSERT_NE(any, 0);
    EXPECT_EQ(PixelOf(ImageHandle(any), 1, 1)[0], 0);
    EXPECT_EQ(canvas->grabImage(canvas, 8, 0, 0, 0, 3), 0);
    EXPECT_EQ(ImageHandle(8), 0);
    CanvasEnd();
}

NativeHandle gScreenDC = 0;
int gAcquired = 0;
NativeHandle AcquireTestDC(Canvas*) {
    ++gAcquired;
    return gScreenDC;
}

TEST_F(ImageObjectTest, GdiGrabCopiesFromTheOutputDC) {
    struct Case {
        int outputDepth, grabAs24, screenKind, expectDepth;
    };
    const Case cases[] = {{32, 0, 0, 32}, {32, 1, 0, 24}, {24, 0, 0, 24}, {32, 1, 1, 24}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.outputDepth << " as24 " << c.grabAs24 << " screen " << c.screenKind);
        ASSERT_NE(ImageCreate(1, 16, 16, c.outputDepth), 0);
        Paint(ImageHandle(1), 2);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, Bmp(ImageHandle(1)));
        Canvas* canvas = CanvasAllocate();
        ASSERT_NE(canvas, nullptr);
        canvas->depth = c.outputDepth;
        canvas->gdi.grabAs24 = c.grabAs24;
        canvas->gdi.dc = reinterpret_cast<NativeHandle>(dc);
        gAcquired = 0;
        if (c.screenKind) {
            // A screen output whose DC has been given up: the grab takes it back first.
            canvas->gdi.gdiKind = 7;
            canvas->gdi.dcState = -1;
            canvas->gdi.dc = 0;
            canvas->gdi.acquireDC = AcquireTestDC;
            gScreenDC = reinterpret_cast<NativeHandle>(dc);
        }
        const intptr_t grabbed = GdiGrabImage(canvas, 5, 4, 6, 8, 8);
        ASSERT_NE(grabbed, 0);
        EXPECT_EQ(gAcquired, c.screenKind);
        if (c.screenKind) {
            EXPECT_EQ(canvas->gdi.dcState, 1);
        }
        EXPECT_EQ(RecordOf(5)->depth, c.expectDepth);
        EXPECT_EQ(Section(grabbed).dsBm.bmBitsPixel, c.expectDepth);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                ASSERT_EQ(std::memcmp(PixelOf(grabbed, x, y), PixelOf(ImageHandle(1), x + 4, y + 6), 3), 0)
                    << x << "," << y;
        EXPECT_EQ(GdiGrabImage(canvas, 6, 0, 0, -1, 4), 0);
        EXPECT_EQ(ImageHandle(6), 0);
        SelectObject(dc, old);
        DeleteDC(dc);
        CanvasSetCurrent(nullptr);
        MainFree(canvas);
    }
}

TEST_F(ImageObjectTest, HasAlphaByKindOfBitmap) {
    DrawingLibraryInit();
    if (!AlphaBlendAvailable()) GTEST_SKIP() << "no AlphaBlend on this system";
    ASSERT_NE(ImageCreate(1, 4, 4, 32), 0);
    ASSERT_NE(ImageCreate(2, 4, 4, 24), 0);
    uint32_t zeroAlpha[16] = {};
    uint32_t oneAlpha[16] = {};
    oneAlpha[9] = 0x01000000u;
    HBITMAP ddbZero = CreateBitmap(4, 4, 1, 32, zeroAlpha);
    HBITMAP ddbOne = CreateBitmap(4, 4, 1, 32, oneAlpha);
    HBITMAP ddbMono = CreateBitmap(4, 4, 1, 1, nullptr);
    struct Case {
        const char* name;
        NativeHandle handle;
        int expect;
    };
    const Case cases[] = {
        {"32-bit section", ImageHandle(1), 1},
        {"24-bit section", ImageHandle(2), 0},
        {"32-bit device bitmap, alpha all 0", reinterpret_cast<NativeHandle>(ddbZero), 0},
        {"32-bit device bitmap, one alpha", reinterpret_cast<NativeHandle>(ddbOne), 1},
        {"monochrome device bitmap", reinterpret_cast<NativeHandle>(ddbMono), 0},
        {"brush", reinterpret_cast<NativeHandle>(GetStockObject(WHITE_BRUSH)), 0},
        {"null", 0, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ImageHasAlpha(c.handle), c.expect) << c.name;
    DeleteObject(ddbZero);
    DeleteObject(ddbOne);
    DeleteObject(ddbMono);
}

}  // namespace
