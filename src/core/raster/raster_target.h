// raster_target.h - what the rasterizer draws into and samples from.
//
// Every drawing call of raster/ takes a RasterTarget: the 8-bit frame, the
// face mask, the shade step of the shadows, the span tables and the record
// where a fill notes the spans it covered. The caller owns all of them;
// raster/ keeps no state of its own. Nothing writes outside the frame or
// reads outside the mask, whatever the coordinates.
#pragma once

#include <cstdint>

#include "core/image/drawn_spans.h"
#include "core/raster/span_tables.h"

struct WorldPoint {
  int32_t x, y, z;
};

struct FramePoint {
  int32_t x, y;
};

struct RasterTarget {
  uint8_t* pixels;  // frame, row 0 at the bottom, stride bytes per row
  int32_t width, height, stride;
  const uint8_t* mask;  // face mask: 0 or 16 per byte, bottom row first
  int32_t maskWidth, maskHeight, maskStride;
  int32_t shadeStep;  // what one shadow adds to a background index, modulo 256
  SpanTables* tables;
  DrawnSpans* drawn;  // where the faces' and overlays' spans are noted; null: nowhere
};
