// textured_fill.h - faces filled row by row from the face mask.
//
// A face pixel is (colourBase + mask sample) modulo 256: the mask holds 0 or
// 16, so a face shows two shades of one palette ramp. The sample positions
// step linearly in fixed8 from the span's left mask position to its right.
#pragma once

#include <cstdint>

#include "core/raster/raster_target.h"

// Every row of tables table..table + 2 (columns, mask u, mask v) that spans
// two columns or more.
void FillTexturedSpans(const RasterTarget& target, int table, int32_t colourBase);

// A mask position: column, and row counted from the top of the picture.
struct MaskPoint {
  int32_t u, v;
};
// An edge of a face, points[a] -> points[b], showing the mask from `from` to `to`.
struct TexturedEdge {
  int a, b;
  MaskPoint from, to;
};
// A whole face: the face tables reset, the edges walked in the order given
// (where two reach the same column of a row, the first keeps its mask
// position) and every row filled.
void FillTexturedFace(const RasterTarget& target, const FramePoint* points, const TexturedEdge* edges, int edgeCount,
                      int32_t colourBase);
// One span; dropped whole when it reaches past the frame or the mask.
void FillTexturedSpan(const RasterTarget& target, int32_t colourBase, int32_t row, int32_t xStart, int32_t xEnd,
                      int32_t uL, int32_t vL, int32_t uR, int32_t vR);
