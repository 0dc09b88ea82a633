// shadows.h - the background copied into the frame, darkened by the shadows.
//
// A shadow adds shadeStep to the background's indices under it, modulo 256
// (no saturation); where shadows overlap, each adds its step.
#pragma once

#include <cstdint>

#include "raster/raster_target.h"

// Copies the background (stride * height bytes) into the frame and darkens
// it by shadow tables first..last, a row at a time while the row is still in
// the cache. With first > last it is the plain copy. The shadows' spans are
// noted as drawn.
void CopyBackgroundWithShadows(const RasterTarget& target, const uint8_t* background, int first, int last);
// The same for a frame that holds the last frame drawn over this
// background: only the spans in `restore` (the last frame's) are copied
// back, every other pixel being background already. A null or whole list
// copies everything.
void RestoreBackgroundWithShadows(const RasterTarget& target, const uint8_t* background, const ChangeList* restore,
                                  int first, int last);
