#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>

#include "runtime/drawing/canvas.h"
#include "runtime/drawing/image.h"

namespace {

// Text drawn into real images through ImageCanvas: every lit pixel lies in
// the box that textWidth and textHeight measure, and a 32-bit image keeps its
// alpha in copy mode.
TEST(RasterTextImage, VisibleTextLiesInsideTheMeasuredBox) {
    ImagesInit();
    for (int depth : {24, 32}) {
        SCOPED_TRACE(depth);
        ASSERT_NE(ImageCreate(20, 160, 50, depth, 0), 0);
        Canvas* canvas = ImageCanvas(20);
        ASSERT_NE(canvas, nullptr);
        ASSERT_NE(CanvasBegin(canvas), 0);
        canvas->frontColor = 0x0000FFFF;  // yellow
        canvas->setFrontColor(canvas, 0x0000FFFF);
        const int x = 17, y = 9;
        const int w = canvas->textWidth(canvas, u"Wirlo"), h = canvas->textHeight(canvas, u"Wirlo");
        ASSERT_GT(w, 0);
        ASSERT_GT(h, 0);
        EXPECT_EQ(canvas->drawText(canvas, x, y, u"Wirlo"), x + w);
        CanvasEnd();

        DIBSECTION section{};
        ASSERT_EQ(GetObjectW(reinterpret_cast<HBITMAP>(ImageHandle(20)), sizeof section, &section),
                  static_cast<int>(sizeof section));
        const uint8_t* bits = static_cast<const uint8_t*>(section.dsBm.bmBits);
        const int bpp = depth / 8, pitch = section.dsBm.bmWidthBytes;
        int lit = 0;
        for (int row = 0; row < 50; ++row)
            for (int col = 0; col < 160; ++col) {
                const uint8_t* p = bits + (50 - 1 - row) * pitch + col * bpp;  // bottom-up
                if (p[0] || p[1] || p[2]) {
                    ++lit;
                    EXPECT_TRUE(col >= x && col < x + w && row >= y && row < y + h) << col << "," << row;
                    EXPECT_EQ(p[0], 0);  // no blue in yellow text
                }
                if (depth == 32) {
                    ASSERT_EQ(p[3], 0xFF) << col << "," << row;
                }
            }
        EXPECT_GT(lit, 20);
    }
    ImageFree(20);
}

}  // namespace
