// shadows.h - the background copied into the frame, darkened by the shadows.
//
// A shadow adds shadeStep to the background's indices under it, modulo 256
// (no saturation); where shadows overlap, each adds its step.
#pragma once

#include <cstdint>

#include "core/raster/raster_target.h"

// Copies the background (stride * height bytes) into the frame and darkens
// it by shadow tables first..last, a row at a time while the row is still in
// the cache. With first > last it is the plain copy.
void CopyBackgroundWithShadows(const RasterTarget& target, const uint8_t* background, int first, int last);
// The same for a frame that holds the last frame drawn over this
// background, its shadows as the span tables kept them: only the spans in
// `restore` (what the last frame drew over) are copied back, and only the
// columns where a shadow came or went are shaded anew (and noted); every
// other pixel is right already. A null or whole list copies everything.
// Either way the shadows' spans are kept for the next frame.
void RestoreBackgroundWithShadows(const RasterTarget& target, const uint8_t* background, const ChangeList* restore,
                                  int first, int last);
