// The native build renders no text: a raster Canvas there has no text slots.
#include "runtime/drawing/raster/raster_text.h"

void RasterInstallTextSlots(Canvas*) {}
void RasterTextBegin(Canvas*) {}
void RasterTextEnd(Canvas*) {}
bool RotatedFontSelect(Canvas*, NativeHandle, float) { return false; }
