// frame_restore.h - the background put back where the last frame drew, and
// the shadows moved from the last frame's spans to this frame's.
//
// The frame buffer keeps the last frame. What it drew (DrawnSpans'
// restore list) gets the background again, darkened by this frame's
// shadows; elsewhere a shadow span that came or went only adds or takes
// away the shade step over the columns it moved across, which are noted as
// shaded. KeptShadows holds the shadow spans as the last frame darkened
// them; it releases its rows when it goes, moves and is never copied.
//
//   KeptShadows kept;
//   if (!AllocateKeptShadows(kept, frameHeight)) ...
//   const ChangeList* restore = BeginDrawnSpans(drawn, ...);  // null: compose whole
//   RestoreBackground(target, kept, background, restore, firstShadowTable, lastShadowTable);
#pragma once

#include <cstdint>
#include <memory>

#include "core/image/change_list.h"
#include "core/raster/raster_target.h"

struct KeptShadows {
  std::unique_ptr<SpanRow[]> rows[shadowTableCount];  // clamped to the frame
  int32_t allocatedRows = 0;
  // Rows outside a table's low..high hold none.
  int32_t low[shadowTableCount] = {}, high[shadowTableCount] = {};
};

// Rows for frames of `rows` rows, none holding a span; false, leaving the
// record empty, when `rows` is not positive or memory runs out.
bool AllocateKeptShadows(KeptShadows& kept, int32_t rows);

// Puts the background (stride * height bytes) back into the target's frame
// darkened by shadow tables first..last (none when first > last): over the
// spans in `restore` only, moving the kept shadows to this frame's and
// noting what they changed in target.drawn, or everywhere when `restore`
// is null or whole. Either way the shadows' spans are kept for the next
// frame.
void RestoreBackground(const RasterTarget& target, KeptShadows& kept, const uint8_t* background,
                       const ChangeList* restore, int first, int last);
