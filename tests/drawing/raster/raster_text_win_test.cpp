#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "runtime/drawing/canvas.h"
#include "runtime/drawing/raster/raster_text.h"

#include "drawing/font_choice_win.h"
#include "guarded_target.h"

namespace {

// A guarded bottom-up area with the text slots installed and the text state begun.
struct TextTarget : GuardedTarget {
    TextTarget(int w, int h, int bytesPerPixel, uint8_t fill = 0) : GuardedTarget(w, h, bytesPerPixel, true, fill) {
        RasterInstallTextSlots(&canvas);
        RasterTextBegin(&canvas);
    }
    ~TextTarget() { RasterTextEnd(&canvas); }

    void SetBack(Color c) {
        RasterTail& r = canvas.raster;
        r.backRed = c & 0xFF, r.backGreen = (c >> 8) & 0xFF, r.backBlue = (c >> 16) & 0xFF, r.backAlpha = c >> 24;
    }
    bool Lit(int x, int y) {
        const uint8_t* p = At(x, y);
        return p[0] || p[1] || p[2];
    }
    int LitCount() {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) n += Lit(x, y);
        return n;
    }
};

TEST(RasterText, EmptyTexts) {
    TextTarget t(40, 20, 3);
    ASSERT_NE(t.canvas.drawText, nullptr);
    EXPECT_EQ(t.canvas.textWidth(&t.canvas, u""), 0);
    EXPECT_EQ(t.canvas.textWidth(&t.canvas, nullptr), 0);
    EXPECT_EQ(t.canvas.textHeight(&t.canvas, u""), 0);
    EXPECT_EQ(t.canvas.textHeight(&t.canvas, nullptr), 0);
    EXPECT_EQ(t.canvas.drawText(&t.canvas, 17, 3, u""), 17);
    EXPECT_EQ(t.canvas.drawText(&t.canvas, -3, 3, nullptr), -3);
    t.canvas.drawRotatedText(&t.canvas, 5, 5, u"", 30.0f);
    EXPECT_EQ(t.LitCount(), 0);
    EXPECT_EQ(t.canvas.raster.textRotatedFont, 0);
}

TEST(RasterText, WithoutTextStateNothingIsDrawn) {
    TextTarget t(40, 20, 3);
    RasterTextEnd(&t.canvas);
    t.canvas.frontColor = 0xFFFFFF;
    EXPECT_EQ(t.canvas.drawText(&t.canvas, 4, 2, u"Hg"), 4);
    EXPECT_EQ(t.canvas.textWidth(&t.canvas, u"Hg"), 0);
    EXPECT_EQ(t.canvas.textHeight(&t.canvas, u"Hg"), 0);
    t.canvas.setFont(&t.canvas, -1);
    EXPECT_EQ(t.canvas.raster.textBufferHeight, 0);
    EXPECT_EQ(t.LitCount(), 0);
}

TEST(RasterText, SystemFontIsSelectedAtBegin) {
    TextTarget t(64, 20, 3);
    const RasterTail& r = t.canvas.raster;
    EXPECT_NE(r.textDC, 0);
    EXPECT_EQ(r.textFont, reinterpret_cast<NativeHandle>(GetStockObject(SYSTEM_FONT)));
    EXPECT_GE(r.textBufferHeight, 50);
    EXPECT_NE(r.textBits, nullptr);
    EXPECT_GE(r.textPitch, 64 * 3);
    EXPECT_EQ(r.textPitch % 4, 0);
    EXPECT_GT(t.canvas.textWidth(&t.canvas, u"Hg"), 0);
    EXPECT_GT(t.canvas.textHeight(&t.canvas, u"Hg"), 0);
}

TEST(RasterText, BufferGrowsWithTallerFontsAndNeverShrinks) {
    HFONT small = TrueTypeFont(12), tall = TrueTypeFont(40);
    ASSERT_NE(small, nullptr) << kNoSuitableFont;
    ASSERT_NE(tall, nullptr) << kNoSuitableFont;
    {
        TextTarget t(50, 10, 3);
        // The buffer holds "Hg" plus 20 rows, and never fewer than 50 rows.
        t.canvas.setFont(&t.canvas, reinterpret_cast<NativeHandle>(small));
        const int smallHeight = t.canvas.textHeight(&t.canvas, u"Hg");
        ASSERT_GT(smallHeight, 0);
        ASSERT_LT(smallHeight + 20, 50);
        EXPECT_EQ(t.canvas.raster.textBufferHeight, 50);
        t.canvas.setFont(&t.canvas, reinterpret_cast<NativeHandle>(tall));
        const int tallHeight = t.canvas.textHeight(&t.canvas, u"Hg");
        ASSERT_GT(tallHeight + 20, 50);
        EXPECT_EQ(t.canvas.raster.textBufferHeight, tallHeight + 20);
        EXPECT_EQ(t.canvas.raster.textFont, reinterpret_cast<NativeHandle>(tall));
        const NativeHandle bitmap = t.canvas.raster.textBitmap;
        t.canvas.setFont(&t.canvas, reinterpret_cast<NativeHandle>(small));
        EXPECT_EQ(t.canvas.raster.textBufferHeight, tallHeight + 20);
        EXPECT_EQ(t.canvas.raster.textBitmap, bitmap);
        // Text taller than the drawing area is clipped to it.
        t.canvas.setFont(&t.canvas, reinterpret_cast<NativeHandle>(tall));
        t.canvas.frontColor = 0xFFFFFF;
        t.canvas.drawText(&t.canvas, 0, -5, u"Hg");
        EXPECT_GT(t.LitCount(), 0);
        EXPECT_TRUE(t.GuardsIntact());
    }
    DeleteObject(small);
    DeleteObject(tall);
}

// Finds a text that measures exactly the wanted width in the target's font.
std::u16string TextOfWidth(TextTarget& t, int wanted) {
    for (char16_t c : std::u16string(u"IilHxmW.|-")) {
        std::u16string s;
        for (int n = 1; n <= 30; ++n) {
            s += c;
            const int w = t.canvas.textWidth(&t.canvas, s.c_str());
            if (w == wanted) return s;
            if (w > wanted) break;
        }
    }
    for (char16_t a : std::u16string(u"IilHxm")) {
        for (char16_t b : std::u16string(u"IilHxm")) {
            std::u16string s;
            for (int n = 1; n <= 15; ++n) {
                s += a;
                std::u16string u = s + b;
                if (t.canvas.textWidth(&t.canvas, u.c_str()) == wanted) return u;
            }
        }
    }
    return u"";
}

TEST(RasterText, TextStartingLeftOfTheAreaIsShifted) {
    TextTarget t(60, 30, 3), reference(60, 30, 3);
    t.canvas.frontColor = reference.canvas.frontColor = 0xFFFFFF;
    const std::u16string text = TextOfWidth(t, 30);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(t.canvas.drawText(&t.canvas, -5, 2, text.c_str()), 25);
    EXPECT_EQ(reference.canvas.drawText(&reference.canvas, 0, 2, text.c_str()), 30);
    // Target column c at x = -5 shows what column c + 5 shows at x = 0; the
    // opaque background (back colour 0) covers columns 0 to 24 only.
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 25; ++x)
            ASSERT_EQ(std::memcmp(t.At(x, y), reference.At(x + 5, y), 3), 0) << x << "," << y;
    }
    EXPECT_GT(t.LitCount(), 0);
    // A text longer than the output, starting far left: what shows is what a
    // wide output shows at the same place (the buffer is only as wide as the
    // output, so the text has to be rendered shifted).
    TextTarget narrow(60, 30, 3), wide(400, 30, 3);
    narrow.canvas.frontColor = wide.canvas.frontColor = 0xFFFFFF;
    const char16_t* longText = u"Wirlo Wirlo Wirlo Wirlo Wirlo";
    const int longWidth = wide.canvas.textWidth(&wide.canvas, longText);
    ASSERT_GT(longWidth, 60 + 100);
    EXPECT_EQ(narrow.canvas.drawText(&narrow.canvas, -100, 1, longText), longWidth - 100);
    wide.canvas.drawText(&wide.canvas, 0, 1, longText);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x) ASSERT_EQ(std::memcmp(narrow.At(x, y), wide.At(x + 100, y), 3), 0) << x << "," << y;
    EXPECT_GT(narrow.LitCount(), 0);

    // On a white output a red text on black paints exactly columns 0 to 24 of
    // its cell: their blue bytes become 0, the rest stay white.
    TextTarget w(60, 30, 3, 0xFF);
    w.canvas.frontColor = 0x000000FF;
    const int cellHeight = w.canvas.textHeight(&w.canvas, text.c_str());
    w.canvas.drawText(&w.canvas, -5, 2, text.c_str());
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x) {
            const bool cell = x < 25 && y >= 2 && y < 2 + cellHeight;
            ASSERT_EQ(w.At(x, y)[0], cell ? 0 : 0xFF) << x << "," << y;
        }
}

TEST(RasterText, ItalicOverhangWidensTextAndLeavesNoEarlierText) {
    int lean = 0;
    HFONT italic = LeaningItalicFont(60, &lean);
    ASSERT_NE(italic, nullptr) << kNoSuitableFont;
    TextTarget used(400, 80, 3), fresh(400, 80, 3);
    for (TextTarget* t : {&used, &fresh}) {
        t->canvas.setFont(&t->canvas, reinterpret_cast<NativeHandle>(italic));
        t->canvas.frontColor = 0xFFFFFF;
    }
    const int overhang = used.canvas.raster.textOverhang;
    ASSERT_GE(overhang, lean);  // lean > 0
    SIZE size{};
    GetTextExtentPoint32W(reinterpret_cast<HDC>(used.canvas.raster.textDC), L"Hf", 2, &size);
    EXPECT_EQ(used.canvas.textWidth(&used.canvas, u"Hf"), size.cx + overhang);
    EXPECT_EQ(used.canvas.drawText(&used.canvas, 7, 0, u"Hf"), 7 + size.cx + overhang);
    // A wide text first, then a narrow one on a clean output: the narrow one's
    // overhang columns must not show what the wide one left in the buffer.
    used.canvas.drawText(&used.canvas, 0, 0, u"MMMMMMMM");
    std::fill(used.memory.begin() + TextTarget::kGuard, used.memory.end() - TextTarget::kGuard, 0);
    used.canvas.drawText(&used.canvas, 0, 0, u"l");
    fresh.canvas.drawText(&fresh.canvas, 0, 0, u"l");
    EXPECT_EQ(used.memory, fresh.memory);
    EXPECT_GT(fresh.LitCount(), 0);
    DeleteObject(italic);
}

TEST(RasterText, CopyModeOpaqueAndTransparentBackgrounds) {
    for (int bpp : {3, 4}) {
        TextTarget t(80, 30, bpp, 0x11);
        t.canvas.frontColor = 0x00F0E0D0;  // red D0, green E0, blue F0
        t.SetBack(0x00203040);             // red 40, green 30, blue 20
        const int end = t.canvas.drawText(&t.canvas, 3, 4, u"Hg");
        const int cw = end - 3, ch = t.canvas.textHeight(&t.canvas, u"Hg");
        ASSERT_GT(cw, 0);
        int lit = 0, background = 0;
        const uint8_t* block = t.canvas.raster.textBits;
        for (int y = 0; y < ch; ++y)
            for (int x = 0; x < cw; ++x) {
                const uint8_t* c = block + y * t.canvas.raster.textPitch + x * 3;
                const uint8_t* p = t.At(3 + x, 4 + y);
                const int front[3] = {0xF0, 0xE0, 0xD0}, back[3] = {0x20, 0x30, 0x40};
                for (int k = 0; k < 3; ++k) ASSERT_EQ(p[k], ((255 - c[k]) * back[k] + front[k] * c[k]) / 255);
                if (c[0] == 255 && c[1] == 255 && c[2] == 255) ++lit;
                if (!c[0] && !c[1] && !c[2]) ++background;
                if (bpp == 4) {
                    ASSERT_EQ(p[3], 0x11);
                }
            }
        EXPECT_GT(lit, 0);
        EXPECT_GT(background, 0);
        EXPECT_TRUE(t.At(2, 4)[0] == 0x11 && t.At(3 + cw, 4)[0] == 0x11 && t.At(3, 3)[0] == 0x11);

        // Transparent: uncovered pixels keep the target, fully covered take the front.
        TextTarget u(80, 30, bpp, 0x11);
        u.canvas.frontColor = 0x00F0E0D0;
        u.SetBack(0x00203040);
        u.SetMode(ModeTransparentText);
        u.canvas.drawText(&u.canvas, 3, 4, u"Hg");
        const uint8_t* ub = u.canvas.raster.textBits;
        for (int y = 0; y < ch; ++y)
            for (int x = 0; x < cw; ++x) {
                const uint8_t* c = ub + y * u.canvas.raster.textPitch + x * 3;
                const uint8_t* p = u.At(3 + x, 4 + y);
                if (!c[0] && !c[1] && !c[2]) {
                    ASSERT_TRUE(p[0] == 0x11 && p[1] == 0x11 && p[2] == 0x11);
                }
                if (c[0] == 255 && c[1] == 255 && c[2] == 255) {
                    ASSERT_TRUE(p[0] == 0xF0 && p[1] == 0xE0 && p[2] == 0xD0);
                }
            }
    }
}

TEST(RasterText, XorTwiceRestoresTheTarget) {
    for (int transparent : {0, 1}) {
        TextTarget t(70, 30, 3);
        for (size_t i = 0; i < t.memory.size() - 2 * TextTarget::kGuard; ++i)
            t.memory[TextTarget::kGuard + i] = static_cast<uint8_t>(i * 7);
        const std::vector<uint8_t> before = t.memory;
        t.canvas.frontColor = 0x00FF00FF;
        t.SetBack(0x0000FF00);
        t.SetMode(ModeXorColor | (transparent ? ModeTransparentText : 0));
        t.canvas.drawText(&t.canvas, 2, 2, u"Hg");
        EXPECT_NE(t.memory, before);
        // Pixels outside the glyphs change only with an opaque background.
        const uint8_t* corner = t.At(2, 2);
        const uint8_t* was = before.data() + (corner - t.memory.data());
        EXPECT_EQ(corner[1] == was[1], transparent == 1);
        t.canvas.drawText(&t.canvas, 2, 2, u"Hg");
        EXPECT_EQ(t.memory, before) << "transparent " << transparent;
    }
}

struct BoxLog {
    int calls, minX, minY, maxX, maxY;
};
BoxLog boxLog;

Color RecordBox(int x, int y, Color, Color target) {
    if (!boxLog.calls++) boxLog.minX = boxLog.maxX = x, boxLog.minY = boxLog.maxY = y;
    boxLog.minX = x < boxLog.minX ? x : boxLog.minX;
    boxLog.maxX = x > boxLog.maxX ? x : boxLog.maxX;
    boxLog.minY = y < boxLog.minY ? y : boxLog.minY;
    boxLog.maxY = y > boxLog.maxY ? y : boxLog.maxY;
    return target;
}

TEST(RasterText, RotatedBoxes) {
    HFONT font = TrueTypeFont(16);
    ASSERT_NE(font, nullptr) << kNoSuitableFont;
    TextTarget t(200, 200, 4);
    t.canvas.setFont(&t.canvas, reinterpret_cast<NativeHandle>(font));
    const int w = t.canvas.textWidth(&t.canvas, u"Wirlo"), h = t.canvas.textHeight(&t.canvas, u"Wirlo");
    ASSERT_GT(w, 0);
    // The filter sees every pixel of the composited box, covered or not.
    t.SetMode(ModeFilter);
    t.canvas.raster.filterCallback = RecordBox;

    boxLog = BoxLog{};
    t.canvas.drawRotatedText(&t.canvas, 50, 100, u"Wirlo", 0.0f);
    EXPECT_EQ(boxLog.calls, w * h);
    EXPECT_EQ(boxLog.minX, 50);
    EXPECT_EQ(boxLog.minY, 100);
    EXPECT_EQ(boxLog.maxX, 50 + w - 1);
    EXPECT_EQ(boxLog.maxY, 100 + h - 1);

    boxLog = BoxLog{};
    t.canvas.drawRotatedText(&t.canvas, 50, 100, u"Wirlo", 90.0f);
    EXPECT_EQ(boxLog.calls, w * h);
    EXPECT_EQ(boxLog.minX, 50);
    EXPECT_EQ(boxLog.maxX, 50 + h - 1);
    EXPECT_EQ(boxLog.minY, 100 - w);  // above the given point
    EXPECT_EQ(boxLog.maxY, 99);
    EXPECT_TRUE(t.GuardsIntact());
    DeleteObject(font);
}

TEST(RasterText, RotatedTextIsDrawnTransparentlyAndTurned) {
    HFONT font = TrueTypeFont(20);
    ASSERT_NE(font, nullptr) << kNoSuitableFont;
    TextTarget t(120, 120, 3, 0x40);
    t.canvas.setFont(&t.canvas, reinterpret_cast<NativeHandle>(font));
    t.canvas.frontColor = 0x00FFFFFF;
    t.SetBack(0x00000000);  // opaque-background rules would paint black; rotated text never does
    t.canvas.drawRotatedText(&t.canvas, 40, 100, u"HHHH", 90.0f);
    int lit = 0, black = 0, minX = 999, maxX = -1, minY = 999, maxY = -1;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 120; ++x) {
            const uint8_t* p = t.At(x, y);
            if (p[0] == 0) ++black;
            if (p[0] > 0x40) {
                ++lit;
                minX = x < minX ? x : minX, maxX = x > maxX ? x : maxX;
                minY = y < minY ? y : minY, maxY = y > maxY ? y : maxY;
            }
        }
    EXPECT_EQ(black, 0);
    ASSERT_GT(lit, 0);
    // Turned up: taller than wide, inside the box right of x and above y.
    EXPECT_GT(maxY - minY, maxX - minX);
    EXPECT_GE(minX, 40);
    EXPECT_LE(maxY, 99);
    DeleteObject(font);
}

TEST(RasterText, OneRotatedFontServesEquivalentAngles) {
    HFONT font = TrueTypeFont(16);
    ASSERT_NE(font, nullptr) << kNoSuitableFont;
    TextTarget t(100, 100, 3);
    t.canvas.setFont(&t.canvas, reinterpret_cast<NativeHandle>(font));
    t.canvas.frontColor = 0xFFFFFF;
    t.canvas.drawRotatedText(&t.canvas, 20, 80, u"Hg", 30.0f);
    const NativeHandle first = t.canvas.raster.textRotatedFont;
    ASSERT_NE(first, 0);
    EXPECT_EQ(t.canvas.raster.textRotatedAngle, 30.0f);
    t.canvas.drawRotatedText(&t.canvas, 20, 80, u"Hg", 390.0f);
    EXPECT_EQ(t.canvas.raster.textRotatedFont, first);
    EXPECT_EQ(t.canvas.raster.textRotatedAngle, 30.0f);
    LOGFONTW lf;
    ASSERT_EQ(GetObjectW(reinterpret_cast<HFONT>(first), sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_EQ(lf.lfEscapement, 300);
    EXPECT_EQ(lf.lfOrientation, 300);
    EXPECT_EQ(lf.lfOutPrecision, OUT_TT_ONLY_PRECIS);
    // Another angle makes a new font; selecting a font drops the rotated copy.
    t.canvas.drawRotatedText(&t.canvas, 20, 80, u"Hg", 45.0f);
    EXPECT_EQ(t.canvas.raster.textRotatedAngle, 45.0f);
    EXPECT_NE(t.canvas.raster.textRotatedFont, 0);
    t.canvas.setFont(&t.canvas, reinterpret_cast<NativeHandle>(font));
    EXPECT_EQ(t.canvas.raster.textRotatedFont, 0);
    // Angles that are no angle draw nothing.
    t.canvas.drawRotatedText(&t.canvas, 20, 80, u"Hg", std::numeric_limits<float>::quiet_NaN());
    t.canvas.drawRotatedText(&t.canvas, 20, 80, u"Hg", std::numeric_limits<float>::infinity());
    EXPECT_EQ(t.canvas.raster.textRotatedFont, 0);
    DeleteObject(font);
}

TEST(RasterText, FarOffAndNegativePositionsStayInsideMemory) {
    struct Case { int x, y; };
    const Case cases[] = {
        {-5, -8}, {-30, 5}, {75, 35}, {-1000, -1000}, {1000, 1000}, {79, 39}, {0, 39},
        {-1000000000, 10}, {1000000000, 10}, {10, -1000000000}, {10, 1000000000},
        {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN + 1, 0}, {INT_MAX - 3, 0},
    };
    for (int bpp : {3, 4}) {
        for (int mode : {0, int(ModeTransparentText), int(ModeXorColor), int(ModeBlendOver), int(ModeWriteAll)}) {
            TextTarget t(80, 40, bpp);
            t.canvas.frontColor = 0xFFFFFFFF;
            t.SetBack(0xFF808080);
            t.SetMode(bpp == 3 && mode == ModeWriteAll ? 0 : mode);
            for (const Case& c : cases) {
                const int end = t.canvas.drawText(&t.canvas, c.x, c.y, u"Wirlo Hg");
                if (c.x < INT_MAX - 1000) {
                    EXPECT_EQ(end, c.x + t.canvas.textWidth(&t.canvas, u"Wirlo Hg"));
                }
                EXPECT_GE(end, c.x);
                t.canvas.drawRotatedText(&t.canvas, c.x, c.y, u"Wirlo Hg", 33.0f);
                t.canvas.drawRotatedText(&t.canvas, c.x, c.y, u"Wirlo Hg", 180.0f);
                ASSERT_TRUE(t.GuardsIntact()) << c.x << "," << c.y << " mode " << mode;
            }
        }
    }
}

TEST(RasterText, NarrowedDrawingAreaIsRespected) {
    // A drawing area narrowed to columns 10..39 and rows 5..24 of an 80 by 40
    // output: nothing outside it changes.
    TextTarget t(80, 40, 3);
    t.canvas.frontColor = 0xFFFFFF;
    t.SetBack(0x00FFFFFF);  // an opaque white background shows the whole cell
    t.canvas.width = 30, t.canvas.height = 20;
    t.canvas.raster.pixels = t.memory.data() + TextTarget::kGuard + (40 - 5 - 20) * t.pitch + 10 * 3;
    t.canvas.drawText(&t.canvas, -4, -3, u"Wirlo Wirlo Wirlo");
    t.canvas.drawRotatedText(&t.canvas, 2, 18, u"Wirlo Wirlo", 60.0f);
    int inside = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 80; ++x) {
            const bool in = x >= 10 && x < 40 && y >= 5 && y < 25;
            if (!in) {
                ASSERT_FALSE(t.Lit(x, y)) << x << "," << y;
            }
            inside += in && t.Lit(x, y);
        }
    EXPECT_GT(inside, 0);
    EXPECT_TRUE(t.GuardsIntact());
}

// A raster Canvas over plain memory, begun: its begin makes the text state.
Canvas* BegunRasterCanvas(std::vector<uint8_t>& pixels, int width, int height, int bpp) {
    const int pitch = (width * bpp + 3) & ~3;
    pixels.assign(static_cast<size_t>(pitch) * height, 0);
    Canvas* canvas = RasterCanvasCreate((bpp == 4 ? PixelFormatBGRA32 : PixelFormatBGR24) | PixelFormatBottomUp);
    if (!canvas) return nullptr;
    canvas->width = width, canvas->height = height;
    canvas->raster.pixels = pixels.data();
    canvas->raster.pitch = pitch;
    if (!CanvasBegin(canvas)) return nullptr;
    return canvas;
}

TEST(RasterText, BufferKeepsTheWholeOutputWidthWhenMadeWhileClipped) {
    HFONT tall = TrueTypeFont(40);
    ASSERT_NE(tall, nullptr) << kNoSuitableFont;
    const char16_t* text = u"Wirlo Wirlo Wirlo";
    std::vector<uint8_t> a, b;
    Canvas* canvas = BegunRasterCanvas(a, 300, 60, 3);
    ASSERT_NE(canvas, nullptr);
    ASSERT_NE(canvas->drawText, nullptr);
    canvas->frontColor = 0xFFFFFF;
    canvas->setFrontColor(canvas, 0xFFFFFF);
    canvas->clip(canvas, 0, 0, 10, 60);
    canvas->setFont(canvas, reinterpret_cast<NativeHandle>(tall));  // the buffer grows while clipped
    canvas->unclip(canvas);
    canvas->drawText(canvas, 0, 5, text);
    CanvasEnd();

    Canvas* reference = BegunRasterCanvas(b, 300, 60, 3);
    ASSERT_NE(reference, nullptr);
    reference->frontColor = 0xFFFFFF;
    reference->setFrontColor(reference, 0xFFFFFF);
    reference->setFont(reference, reinterpret_cast<NativeHandle>(tall));
    reference->drawText(reference, 0, 5, text);
    CanvasEnd();
    EXPECT_EQ(a, b);
    DeleteObject(tall);
}

TEST(RasterText, ModesThroughTheRasterCanvas) {
    // Write-all with a transparent background on a 32-bit output: uncovered
    // pixels keep colour and alpha; fully covered ones take the front colour
    // and its alpha.
    std::vector<uint8_t> pixels;
    Canvas* canvas = BegunRasterCanvas(pixels, 100, 30, 4);
    ASSERT_NE(canvas, nullptr);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = (i % 4 == 3) ? 0x33 : 0x44;
    canvas->setMode(canvas, ModeWriteAll | ModeTransparentText);
    EXPECT_EQ(canvas->raster.modeFlags, ModeWriteAll | ModeTransparentText);
    canvas->frontColor = 0x80C0D0E0;
    canvas->setFrontColor(canvas, 0x80C0D0E0);
    const int end = canvas->drawText(canvas, 2, 2, u"Hg");
    const uint8_t* block = canvas->raster.textBits;
    const int blockPitch = canvas->raster.textPitch;
    int full = 0, none = 0;
    for (int y = 0; y < canvas->textHeight(canvas, u"Hg"); ++y)
        for (int x = 0; x < end - 2; ++x) {
            const uint8_t* c = block + y * blockPitch + x * 3;
            const uint8_t* p = pixels.data() + (30 - 1 - (2 + y)) * 400 + (2 + x) * 4;
            if (!c[0] && !c[1] && !c[2]) {
                ++none;
                ASSERT_TRUE(p[0] == 0x44 && p[1] == 0x44 && p[2] == 0x44 && p[3] == 0x33) << x << "," << y;
            } else if (c[0] == 255 && c[1] == 255 && c[2] == 255) {
                ++full;
                ASSERT_TRUE(p[0] == 0xC0 && p[1] == 0xD0 && p[2] == 0xE0 && p[3] == 0x80) << x << "," << y;
            }
        }
    EXPECT_GT(full, 0);
    EXPECT_GT(none, 0);
    CanvasEnd();
}

}  // namespace
