// shadows.cpp - the background copy with the shadows added in one pass.
#include "core/raster/shadows.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

// Sixteen frame pixels, for darkening a shadow span a block at a time.
typedef uint8_t PixelBlock __attribute__((vector_size(16)));

// Adds amount to count pixels, modulo 256 (no saturation), sixteen at a
// time: every lane of a byte vector adds modulo 256, as the single pixels
// do. A run of sixteen or more ends with one block laid over the run's last
// sixteen pixels, adding only in the lanes not yet done.
void AddToPixels(uint8_t* pixels, size_t count, uint8_t amount) {
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

// Darkens columns clipLeft..clipEnd-1 of row y by tables first..last
// (those whose rows from..to hold it) in one pass: the row is cut where a
// span starts or ends, and each piece gets shadeStep once per span over it,
// so every pixel is written once.
void DarkenRow(const RasterTarget& target, int32_t y, int first, int last, const int32_t* from, const int32_t* to,
               int32_t clipLeft, int32_t clipEnd) {
  int32_t starts[spanTableCount], ends[spanTableCount];  // each kept sorted
  int n = 0;
  for (int t = first; t <= last; ++t) {
    if (y < from[t] || y > to[t]) continue;
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

// The shadow tables' rows that any of first..last may darken (low > high:
// none), and each table's own in from and to.
void ShadowRows(const RasterTarget& target, int first, int last, int32_t& low, int32_t& high, int32_t* from,
                int32_t* to) {
  const int32_t rows = first <= last ? UsableRows(*target.tables, target.height, first, last) : 0;
  low = rows, high = -1;
  for (int t = first; rows > 0 && t <= last; ++t) {
    RowsToVisit(*target.tables, t, rows, from[t], to[t]);
    low = std::min(low, from[t]);
    high = std::max(high, to[t]);
  }
}

// Columns left..right of row y darkened (or lightened) by `amount` more,
// and noted as changed.
void Shade(const RasterTarget& target, int32_t y, int32_t left, int32_t right, uint8_t amount) {
  if (right < left) return;
  AddToPixels(target.pixels + static_cast<ptrdiff_t>(y) * target.stride + left, static_cast<size_t>(right - left + 1),
              amount);
  NoteShaded(*target.tables, y, left, right);
}

// Brings the frame's shadows from the last frame's spans to this frame's
// (tables first..last; none when first > last), one table at a time: a
// pixel gains shadeStep where a span came and loses it where one went, the
// steps adding modulo 256 as the whole darkening does. The spans are kept
// for the next frame; with `shade` false only that.
void MoveShadows(const RasterTarget& target, int first, int last, const int32_t* from, const int32_t* to, bool shade) {
  SpanTables& tables = *target.tables;
  DrawnSpans& f = tables.frame;
  const int32_t rows = UsableRows(tables, target.height, firstShadowTable, lastShadowTable);
  const auto up = static_cast<uint8_t>(target.shadeStep), down = static_cast<uint8_t>(-up);  // modulo 256
  for (int t = firstShadowTable; t <= lastShadowTable; ++t) {
    const bool shown = t >= first && t <= last;
    const int32_t nowLow = shown ? from[t] : rows, nowHigh = shown ? to[t] : -1;
    const int k = t - firstShadowTable;
    SpanRow* kept = f.lastShadows[k];
    const SpanRow* now = tables.rows[t];
    const int32_t keptLow = f.shadowLow[k], keptHigh = f.shadowHigh[k];
    const int32_t yEnd = std::min(std::max(keptHigh, nowHigh), rows - 1);
    for (int32_t y = std::max(std::min(keptLow, nowLow), 0); y <= yEnd; ++y) {
      const SpanRow was = y >= keptLow && y <= keptHigh ? kept[y] : SpanRow{0, -1};
      SpanRow is = {0, -1};
      if (y >= nowLow && y <= nowHigh) {
        is = {std::max(now[y].left, 0), std::min(now[y].right, target.width - 1)};
        if (is.right < is.left) is = {0, -1};
      }
      kept[y] = is;
      if (!shade || (was.left == is.left && was.right == is.right)) continue;
      if (was.right < was.left || is.right < is.left) {  // one of them empty: the other whole
        Shade(target, y, is.left, is.right, up);
        Shade(target, y, was.left, was.right, down);
        continue;
      }
      Shade(target, y, is.left, std::min(is.right, was.left - 1), up);     // came, left of the old span
      Shade(target, y, std::max(is.left, was.right + 1), is.right, up);    // came, right of it
      Shade(target, y, was.left, std::min(was.right, is.left - 1), down);  // went
      Shade(target, y, std::max(was.left, is.right + 1), was.right, down);
    }
    f.shadowLow[k] = nowLow, f.shadowHigh[k] = nowHigh;
  }
}

// The whole background copied, each row darkened right after its copy by
// tables first..last, whose rows low..high (each table's own from..to, as
// ShadowRows finds them) may hold spans.
void CopyWholeWithShadows(const RasterTarget& target, const uint8_t* background, int first, int last, int32_t low,
                          int32_t high, const int32_t* from, const int32_t* to) {
  const size_t stride = static_cast<size_t>(target.stride);
  const int32_t height = target.height;
  if (high < low) low = high = height;  // nothing to darken: one plain copy
  low = std::max(low, 0);               // never negative; said so, for the compiler's bounds check
  std::memcpy(target.pixels, background, stride * static_cast<size_t>(low));
  for (int32_t y = low; y <= high && y < height; ++y) {
    const size_t offset = stride * static_cast<size_t>(y);
    std::memcpy(target.pixels + offset, background + offset, stride);
    DarkenRow(target, y, first, last, from, to, 0, target.width);
  }
  const int32_t rest = std::min(high + 1, height);
  std::memcpy(target.pixels + stride * static_cast<size_t>(rest), background + stride * static_cast<size_t>(rest),
              stride * static_cast<size_t>(height - rest));
}

}  // namespace

void CopyBackgroundWithShadows(const RasterTarget& target, const uint8_t* background, int first, int last) {
  if (target.pixels == nullptr || background == nullptr || target.height <= 0 || target.stride <= 0) return;
  int32_t low, high;  // the rows any of the tables may darken
  int32_t from[spanTableCount] = {}, to[spanTableCount] = {};
  ShadowRows(target, first, last, low, high, from, to);
  CopyWholeWithShadows(target, background, first, last, low, high, from, to);
}

void RestoreBackgroundWithShadows(const RasterTarget& target, const uint8_t* background, const ChangeList* restore,
                                  int first, int last) {
  if (target.pixels == nullptr || background == nullptr || target.height <= 0 || target.stride <= 0) return;
  int32_t shadowLow, shadowHigh;
  int32_t from[spanTableCount] = {}, to[spanTableCount] = {};
  ShadowRows(target, first, last, shadowLow, shadowHigh, from, to);
  const bool whole = restore == nullptr || restore->everything;
  if (whole) CopyWholeWithShadows(target, background, first, last, shadowLow, shadowHigh, from, to);
  if (target.tables != nullptr && UsableRows(*target.tables, target.height, firstShadowTable, lastShadowTable) > 0)
    MoveShadows(target, first, last, from, to, !whole);
  if (whole) return;
  // What the last frame drew over: the background again, darkened by this
  // frame's shadows. Shadows moved there above are overwritten.
  const int32_t low = std::max(restore->low, 0), high = std::min(restore->high, target.height - 1);
  const size_t stride = static_cast<size_t>(target.stride);
  for (int32_t y = low; y <= high; ++y) {
    const ChangeRow& row = restore->rows[y];
    const size_t offset = stride * static_cast<size_t>(y);
    for (int k = 0; k < row.count; ++k) {
      const int32_t left = std::max(row.ranges[k].left, 0), end = std::min(row.ranges[k].end, target.width);
      if (left >= end) continue;
      std::memcpy(target.pixels + offset + left, background + offset + left, static_cast<size_t>(end - left));
      if (y >= shadowLow && y <= shadowHigh) DarkenRow(target, y, first, last, from, to, left, end);
    }
  }
}
