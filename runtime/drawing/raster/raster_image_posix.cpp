// Placeholder until image blitting lands: installs no image slots.
#include "runtime/drawing/raster/raster_image.h"

void RasterInstallImageSlots(Canvas*) {}
