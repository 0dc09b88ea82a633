// image_scale.cpp - nearest-neighbour scaling of an IndexedImage.
//
// Source positions step in fixed16 (16.16) through unsigned accumulators
// that start at 0: the first destination row and column take the top-left
// source pixel, and the last source row or column may never be sampled
// (768 rows scaled to 600 read rows 0..766). The inner loop is a byte copy
// with one addition, no division and no bounds test: the largest position
// it reaches, (newWidth - 1) x floor(width x 65536 / newWidth), is below
// width x 65536, so every sample lies inside the source row.
#include <utility>

#include "core/common/int_math.h"
#include "core/image/indexed_image.h"

namespace {

// width x 65536 / newWidth, truncated. The product needs 32 unsigned bits:
// a side of maxImageSide (32768) makes it 2^31.
fixed16 ScaleStep(int32_t size, int32_t newSize) {
  return (static_cast<uint32_t>(size) << 16) / static_cast<uint32_t>(newSize);
}

}  // namespace

bool ScaleImage(IndexedImage& source, double sx, double sy) {
  if (!ImageExists(source)) return false;
  const int32_t width = ImageWidth(source);
  const int32_t height = ImageHeight(source);
  const int32_t newWidth = DoubleToInt32(width * sx);  // truncated toward zero
  const int32_t newHeight = DoubleToInt32(height * sy);
  if (!ImageSizeUsable(newWidth, newHeight)) return false;  // a size of 0 would divide by zero below
  IndexedImage scaled;
  if (!CreateImage(scaled, newWidth, newHeight, &source)) return false;

  const fixed16 stepX = ScaleStep(width, newWidth);
  const fixed16 stepY = ScaleStep(height, newHeight);
  fixed16 rowPosition = 0;
  for (int32_t r = 0; r < newHeight; ++r) {
    const uint8_t* from = PixelAddress(source, 0, static_cast<int32_t>(rowPosition >> 16));
    uint8_t* to = PixelAddress(scaled, 0, r);
    fixed16 columnPosition = 0;
    for (int32_t c = 0; c < newWidth; ++c) {
      to[c] = from[columnPosition >> 16];
      columnPosition += stepX;
    }
    rowPosition += stepY;
  }

  source = std::move(scaled);
  return true;
}
