// The test card: a picture that exercises the raster Canvas front functions.
// Shared by the program (entry.cpp) and the check of its picture.
#pragma once

enum : int {
    CardWidth = 640,
    CardHeight = 480,
    CardImage = 1,    // the card, 32-bit
    CardPattern = 2,  // the small picture the card shows at its own size and stretched
};

// Creates both images and draws the pattern. Returns 1, or 0 when an image
// cannot be made.
int CardCreateImages();
// Draws the whole card into its image, the same picture every time. Returns 1,
// or 0 when no Canvas could be made on it.
int CardDraw();
