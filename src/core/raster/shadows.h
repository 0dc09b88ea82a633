// shadows.h - the background copied into the frame, darkened by the shadows.
//
// A shadow adds shadeStep to the background's indices under it, modulo 256
// (no saturation); where shadows overlap, each adds its step. The copy is
// whole (CopyBackgroundWithShadows) or over the spans of a list
// (CopyBackgroundOver), for a caller that knows which pixels need it.
//
//   const ShadowRows shadows = FindShadowRows(target, firstShadowTable, lastShadowTable);
//   CopyBackgroundWithShadows(target, background, shadows);
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

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
// The background copied and darkened over the spans of `spans` alone
// (clipped to the frame; its `everything` is not read).
void CopyBackgroundOver(const RasterTarget& target, const uint8_t* background, const ShadowRows& shadows,
                        const ChangeList& spans);

// Sixteen frame pixels, for darkening a shadow span a block at a time.
typedef uint8_t PixelBlock __attribute__((vector_size(16)));

// Adds amount to count pixels, modulo 256 (no saturation), sixteen at a
// time: every lane of a byte vector adds modulo 256, as the single pixels
// do. A run of sixteen or more ends with one block laid over the run's last
// sixteen pixels, adding only in the lanes not yet done.
inline void AddToPixels(uint8_t* pixels, size_t count, uint8_t amount) {
  const size_t blocks = count / sizeof(PixelBlock), rest = count % sizeof(PixelBlock);
  for (size_t b = 0; b < blocks; ++b, pixels += sizeof(PixelBlock)) {
    PixelBlock block;
    std::memcpy(&block, pixels, sizeof block);
    block += amount;
    std::memcpy(pixels, &block, sizeof block);
  }
  if (rest == 0) return;
  if (blocks == 0) {
    for (size_t i = 0; i < rest; ++i) pixels[i] = static_cast<uint8_t>(pixels[i] + amount);  // wraps
    return;
  }
  const PixelBlock lane = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
  const PixelBlock todo = reinterpret_cast<PixelBlock>(lane >= static_cast<uint8_t>(sizeof(PixelBlock) - rest));
  uint8_t* last = pixels + rest - sizeof(PixelBlock);
  PixelBlock block;
  std::memcpy(&block, last, sizeof block);
  block += todo & amount;
  std::memcpy(last, &block, sizeof block);
}
