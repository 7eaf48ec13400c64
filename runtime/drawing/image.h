// Image objects: numbered DIB sections kept in the image ObjectTable.
//
// Every image is a bottom-up, uncompressed DIB section of 24 bits per pixel
// (blue, green, red) or 32 (blue, green, red, alpha) whose rows are padded to
// a multiple of 4 bytes. The raster back end draws into an image by writing
// its pixel memory directly (ImageCanvas).
//
// Numbers follow the runtime's convention: a create operation given AnyNumber
// returns the new image's number (its entry's address); given n >= 0 it
// returns the new bitmap handle. Re-using a number frees the image that held
// it first. Failure is 0.
//
// Freeing an image, or replacing it with a new one, while the current Canvas
// draws into it ends that Canvas first (as CanvasEnd would): there is then no
// current Canvas, and the front functions draw nothing until the next one.
#pragma once

#include <cstdint>

#include "runtime/core/object_table.h"
#include "runtime/drawing/canvas.h"

// The image table entry. An entry whose bitmap is 0 holds no image.
struct ImageRecord {
    NativeHandle bitmap;
    int16_t width;
    int16_t height;
    int8_t depth;  // bits per pixel: 24 or 32
};

// Largest width or height an image can have (the record keeps 16-bit sizes).
constexpr int ImageMaxSize = 32767;

// The image table; 0 until ImagesInit.
extern ObjectTable* ImageTable;

// Bytes per stored row of a DIB of the given width and bits per pixel.
int DibRowPitch(int width, int bitsPerPixel);
// Whether a DIB of at least one pixel with 24 or 32 bits per pixel can be
// addressed with int offsets: its pixels take at most 2^31 - 1 bytes.
bool DibSizeFits(int width, int height, int bitsPerPixel);

// The operations below exist in both builds: on DIB sections in the Windows
// build, on plain bottom-up pixel memory (NativeBitmap) in the native build.
// ImageGrabDC and GdiGrabImage are the Windows build's only.

// Creates the image table (once; later calls do nothing).
void ImagesInit();
// Frees every image and deletes the DCs kept for ImageGrab.
void ImagesFreeAll();
// The library's end step: frees every image and the table itself, as before
// ImagesInit.
void ImagesEnd();

// A new zero-filled bottom-up DIB section of at least 24 bits per pixel, or 0
// (also for a width or height below 1).
NativeHandle DibCreate(int width, int height, int bitCount);

// Depth 32: colour -1 fills transparent black, any other colour is made
// opaque. Depths below 24 make 24-bit images.
intptr_t ImageCreate(ObjectNumber number, int width, int height, int depth = 24, Color colour = 0);
// The image's bitmap, or 0 when the number holds no image.
NativeHandle ImageHandle(ObjectNumber number);
// A prepared raster Canvas on the image, already current, or null. While it
// lives the image's bitmap is selected into a memory DC and the thread's GDI
// batch limit is 1.
Canvas* ImageCanvas(ObjectNumber number);
// The release hook of an image Canvas: deletes its DC, restores the batch limit.
void ImageCanvasRelease(Canvas* canvas, int ended);
// Copies the rectangle (x, y, width, height) of image source into a new image
// at target. Pixels of the rectangle outside the source stay black. The source
// may be the image of the current image Canvas; a source whose bitmap is
// selected into any other DC cannot be copied (0, target unchanged).
intptr_t ImageGrab(ObjectNumber source, ObjectNumber target, int x, int y, int width, int height);
// The memory DC ImageGrab selects the source (0) or the new image (1) into,
// made on the first grab and deleted by ImagesFreeAll; 0 when there is none.
// Between grabs neither holds an image's bitmap.
NativeHandle ImageGrabDC(int which);
// Frees one image, or every image for -1. Also the table's free callback.
void ImageFree(ObjectNumber number);
// 1 when the handle is a bitmap with a usable alpha channel and alpha blending
// is available (AlphaBlendAvailable), else 0.
int ImageHasAlpha(NativeHandle handle);

// The grabImage slot of a raster Canvas: copies (x, y, w, h) of the drawing
// area into a new image at target; parts outside the area stay zero.
intptr_t RasterGrabImage(Canvas* canvas, intptr_t target, int x, int y, int w, int h);
// The grabImage slot of a GDI Canvas, for the GDI back end to install as is:
// takes the output DC back if the screen gave it up, then copies (x, y, w, h)
// of the output into a new image at target with one BitBlt.
intptr_t GdiGrabImage(Canvas* canvas, intptr_t target, int x, int y, int w, int h);
