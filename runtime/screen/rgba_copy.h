// The page's pixel order: the web build's screen keeps its back buffer as the
// raster back end writes it (blue, green, red, alpha) and hands the browser
// red, green, blue, alpha, where alpha must be opaque for the colours to show.
#pragma once

#include <cstddef>
#include <cstdint>

// Copies count pixels from bgra to rgba, swapping red and blue and setting
// alpha to 255. The two may not overlap.
void CopyBgraToOpaqueRgba(const uint8_t* bgra, uint8_t* rgba, size_t count);
