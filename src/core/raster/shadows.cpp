// shadows.cpp - the background copy with the shadows added in one pass.
#include "core/raster/shadows.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

// Darkens columns clipLeft..clipEnd-1 of row y by the shadows' tables
// (those whose rows hold it) in one pass: the row is cut where a span
// starts or ends, and each piece gets shadeStep once per span over it, so
// every pixel is written once.
void DarkenRow(const RasterTarget& target, int32_t y, const ShadowRows& shadows, int32_t clipLeft, int32_t clipEnd) {
  int32_t starts[spanTableCount], ends[spanTableCount];  // each kept sorted
  int n = 0;
  for (int t = shadows.first; t <= shadows.last; ++t) {
    if (y < shadows.from[t] || y > shadows.to[t]) continue;
    const SpanRow& span = target.tables->rows[t][y];
    const int32_t left = std::max(span.left, clipLeft), right = std::min(span.right, clipEnd - 1);
    if (right < left) continue;
    int i = n, j = n;
    for (; i > 0 && starts[i - 1] > left; --i) starts[i] = starts[i - 1];
    starts[i] = left;
    for (; j > 0 && ends[j - 1] > right + 1; --j) ends[j] = ends[j - 1];
    ends[j] = right + 1;  // one past the span
    ++n;
  }
  uint8_t* row = target.pixels + static_cast<ptrdiff_t>(y) * target.stride;
  const uint32_t step = static_cast<uint32_t>(target.shadeStep);
  int32_t at = 0;
  int depth = 0, i = 0, j = 0;
  while (j < n) {
    const bool opens = i < n && starts[i] <= ends[j];
    const int32_t next = opens ? starts[i] : ends[j];
    if (depth > 0 && next > at)
      AddToPixels(row + at, static_cast<size_t>(next - at), static_cast<uint8_t>(step * static_cast<uint32_t>(depth)));
    at = next;
    if (opens)
      ++depth, ++i;
    else
      --depth, ++j;
  }
}

}  // namespace

ShadowRows FindShadowRows(const RasterTarget& target, int first, int last) {
  ShadowRows shadows{first, last, 0, -1, {}, {}};
  const int32_t rows = first <= last ? UsableRows(*target.tables, target.height, first, last) : 0;
  shadows.low = rows;
  for (int t = first; rows > 0 && t <= last; ++t) {
    RowsToVisit(*target.tables, t, rows, shadows.from[t], shadows.to[t]);
    shadows.low = std::min(shadows.low, shadows.from[t]);
    shadows.high = std::max(shadows.high, shadows.to[t]);
  }
  return shadows;
}

void CopyBackgroundWithShadows(const RasterTarget& target, const uint8_t* background, const ShadowRows& shadows) {
  if (target.pixels == nullptr || background == nullptr || target.height <= 0 || target.stride <= 0) return;
  const size_t stride = static_cast<size_t>(target.stride);
  const int32_t height = target.height;
  int32_t low = shadows.low, high = shadows.high;
  if (high < low) low = high = height;  // nothing to darken: one plain copy
  low = std::max(low, 0);               // never negative; said so, for the compiler's bounds check
  std::memcpy(target.pixels, background, stride * static_cast<size_t>(low));
  for (int32_t y = low; y <= high && y < height; ++y) {
    const size_t offset = stride * static_cast<size_t>(y);
    std::memcpy(target.pixels + offset, background + offset, stride);
    DarkenRow(target, y, shadows, 0, target.width);
  }
  const int32_t rest = std::min(high + 1, height);
  std::memcpy(target.pixels + stride * static_cast<size_t>(rest), background + stride * static_cast<size_t>(rest),
              stride * static_cast<size_t>(height - rest));
}

void CopyBackgroundWithShadows(const RasterTarget& target, const uint8_t* background, int first, int last) {
  if (target.pixels == nullptr || background == nullptr || target.height <= 0 || target.stride <= 0) return;
  CopyBackgroundWithShadows(target, background, FindShadowRows(target, first, last));
}

void CopyBackgroundOver(const RasterTarget& target, const uint8_t* background, const ShadowRows& shadows,
                        const ChangeList& spans) {
  if (target.pixels == nullptr || background == nullptr || target.height <= 0 || target.stride <= 0) return;
  const int32_t low = std::max(spans.low, 0), high = std::min(spans.high, target.height - 1);
  const size_t stride = static_cast<size_t>(target.stride);
  for (int32_t y = low; y <= high; ++y) {
    const ChangeRow& row = spans.rows[y];
    const size_t offset = stride * static_cast<size_t>(y);
    for (int k = 0; k < row.count; ++k) {
      const int32_t left = std::max(row.ranges[k].left, 0), end = std::min(row.ranges[k].end, target.width);
      if (left >= end) continue;
      std::memcpy(target.pixels + offset + left, background + offset + left, static_cast<size_t>(end - left));
      if (y >= shadows.low && y <= shadows.high) DarkenRow(target, y, shadows, left, end);
    }
  }
}
