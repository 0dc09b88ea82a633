// shadows.h - the background copied into the frame, darkened by the shadows.
//
// A shadow adds shadeStep to the background's indices under it, modulo 256
// (no saturation); where shadows overlap, each adds its step. The copy is
// whole (CopyBackgroundWithShadows) or one span at a time
// (CopyBackgroundSpan), for a caller that knows which pixels need it.
//
//   const ShadowRows shadows = FindShadowRows(target, firstShadowTable, lastShadowTable);
//   CopyBackgroundWithShadows(target, background, shadows);
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/raster/raster_target.h"

// The rows shadow tables first..last (none when first > last) may darken:
// low..high in all (low > high: none), from[t]..to[t] for table t.
struct ShadowRows {
  int first, last;
  int32_t low, high;
  int32_t from[spanTableCount], to[spanTableCount];
};
ShadowRows FindShadowRows(const RasterTarget& target, int first, int last);

// Copies the background (stride * height bytes) into the frame and darkens
// it by the shadows, a row at a time while the row is still in the cache.
void CopyBackgroundWithShadows(const RasterTarget& target, const uint8_t* background, const ShadowRows& shadows);
// The same by tables first..last; with first > last the plain copy.
void CopyBackgroundWithShadows(const RasterTarget& target, const uint8_t* background, int first, int last);
// Columns [left, end) of row y (within the frame) copied from the
// background and darkened by the shadows.
void CopyBackgroundSpan(const RasterTarget& target, const uint8_t* background, const ShadowRows& shadows, int32_t y,
                        int32_t left, int32_t end);
// Adds amount to count pixels, modulo 256 (no saturation).
void AddToPixels(uint8_t* pixels, size_t count, uint8_t amount);
