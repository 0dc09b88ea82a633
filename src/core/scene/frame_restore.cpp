// frame_restore.cpp - the last frame's spans given the background back,
// and the shadows moved.
#include "core/scene/frame_restore.h"

#include <algorithm>
#include <cstddef>

#include "core/common/ownership.h"
#include "core/raster/shadows.h"

namespace {

void ForgetKeptShadows(KeptShadows& kept) {
  for (int k = 0; k < shadowTableCount; ++k) kept.low[k] = INT32_MAX, kept.high[k] = INT32_MIN;
}

// Columns left..right of row y darkened (or lightened) by `amount` more,
// and noted as changed.
void Shade(const RasterTarget& target, int32_t y, int32_t left, int32_t right, uint8_t amount) {
  if (right < left) return;
  AddToPixels(target.pixels + static_cast<ptrdiff_t>(y) * target.stride + left, static_cast<size_t>(right - left + 1),
              amount);
  if (target.drawn != nullptr) NoteShaded(*target.drawn, y, left, right);
}

// Brings the frame's shadows from the kept spans to this frame's (the
// tables `shadows` names), one table at a time: a pixel gains shadeStep
// where a span came and loses it where one went, the steps adding modulo
// 256 as the whole darkening does. The spans are kept for the next frame;
// with `shade` false only that.
void MoveShadows(const RasterTarget& target, KeptShadows& kept, const ShadowRows& shadows, bool shade) {
  const SpanTables& tables = *target.tables;
  const int32_t rows =
      std::min(UsableRows(tables, target.height, firstShadowTable, lastShadowTable), kept.allocatedRows);
  const auto up = static_cast<uint8_t>(target.shadeStep), down = static_cast<uint8_t>(-up);  // modulo 256
  for (int t = firstShadowTable; t <= lastShadowTable; ++t) {
    const bool shown = t >= shadows.first && t <= shadows.last;
    const int32_t nowLow = shown ? shadows.from[t] : rows, nowHigh = shown ? shadows.to[t] : -1;
    const int k = t - firstShadowTable;
    SpanRow* keptRow = kept.rows[k].get();
    const SpanRow* now = tables.rows[t].get();
    const int32_t keptLow = kept.low[k], keptHigh = kept.high[k];
    const int32_t yEnd = std::min(std::max(keptHigh, nowHigh), rows - 1);
    for (int32_t y = std::max(std::min(keptLow, nowLow), 0); y <= yEnd; ++y) {
      const SpanRow was = y >= keptLow && y <= keptHigh ? keptRow[y] : SpanRow{0, -1};
      SpanRow is = {0, -1};
      if (y >= nowLow && y <= nowHigh) {
        is = {std::max(now[y].left, 0), std::min(now[y].right, target.width - 1)};
        if (is.right < is.left) is = {0, -1};
      }
      keptRow[y] = is;
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
    kept.low[k] = nowLow, kept.high[k] = nowHigh;
  }
}

}  // namespace

bool AllocateKeptShadows(KeptShadows& kept, int32_t rows) {
  kept = {};
  KeptShadows made;
  if (rows < 1 || !Allocated([&] {
        for (std::unique_ptr<SpanRow[]>& table : made.rows) table = ZeroedBlock<SpanRow>(static_cast<size_t>(rows));
      }))
    return false;
  made.allocatedRows = rows;
  ForgetKeptShadows(made);
  kept = std::move(made);
  return true;
}

void RestoreBackground(const RasterTarget& target, KeptShadows& kept, const uint8_t* background,
                       const ChangeList* restore, int first, int last) {
  if (target.pixels == nullptr || background == nullptr || target.height <= 0 || target.stride <= 0) return;
  const ShadowRows shadows = FindShadowRows(target, first, last);
  const bool whole = restore == nullptr || restore->everything;
  if (restore == nullptr) ForgetKeptShadows(kept);  // whatever was kept described another frame
  if (whole) CopyBackgroundWithShadows(target, background, shadows);
  if (target.tables != nullptr && UsableRows(*target.tables, target.height, firstShadowTable, lastShadowTable) > 0)
    MoveShadows(target, kept, shadows, !whole);
  if (whole) return;
  // What the last frame drew over: the background again, darkened by this
  // frame's shadows. Shadows moved there above are overwritten.
  CopyBackgroundOver(target, background, shadows, *restore);
}
