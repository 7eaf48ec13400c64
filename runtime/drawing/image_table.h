// The image table's bookkeeping, shared by the Windows and the native image
// library: size limits, lookups and storing a new bitmap under a number.
#pragma once

#include <cstdint>

#include "runtime/drawing/image.h"

// Whether a width and height fit an image (at least 1, and the record's 16 bits).
bool ImageSizeFits(int width, int height);
// The live record of a number, or 0.
ImageRecord* ImageRecordOf(ObjectNumber number);
// What a create operation returns for a filled entry: the number for
// AnyNumber, otherwise the bitmap handle.
intptr_t ImageCreatedResult(ObjectNumber number, const ImageRecord* record);
// Takes an entry for number (freeing the image there) and stores the bitmap in
// it. Returns the create result, or 0 when no entry could be had (the caller
// still owns the bitmap then).
intptr_t ImageStore(ObjectNumber number, NativeHandle bitmap, int width, int height, int depth);
// Ends the current Canvas if it is an image Canvas drawing into bitmap. An
// image is freed (or replaced) only after this, so that no Canvas is left
// writing into freed pixels or holding the bitmap in its DC.
void ImageEndItsCanvas(NativeHandle bitmap);
