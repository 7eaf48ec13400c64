// Placeholder until raster text rendering lands: installs no text slots.
#include "runtime/drawing/raster/raster_text.h"

void RasterInstallTextSlots(Canvas*) {}
void RasterTextBegin(Canvas*) {}
void RasterTextEnd(Canvas*) {}
