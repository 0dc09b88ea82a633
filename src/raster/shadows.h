// shadows.h - the background copied into the frame, darkened by the shadows.
//
// A shadow adds shadeStep to the background's indices under it, modulo 256
// (no saturation); where shadows overlap, each adds its step.
#pragma once

#include <cstdint>

#include "raster/raster_target.h"

// Copies the background (stride * height bytes) into the frame and darkens
// it by shadow tables first..last, a row at a time while the row is still in
// the cache. With first > last it is the plain copy.
void CopyBackgroundWithShadows(const RasterTarget& target, const uint8_t* background, int first, int last);
