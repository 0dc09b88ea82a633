// edge_walk.h - polygon edges walked into the span tables.
//
// An edge widens each frame row it crosses to the column it reaches there
// (and, for a face, the mask position at that column). Rows are clamped into
// the frame before a walk starts; shadow columns are clamped too, while face
// columns and mask positions stay as walked and a fill drops a row that
// leaves the frame or the mask.
#pragma once

#include <cstdint>

#include "core/raster/raster_target.h"

void AddShadowEdge(const RasterTarget& target, int table, int32_t x0, int32_t y0, int32_t x1, int32_t y1);
// The edge points[a] -> points[b] of the face being drawn; (ua, va), (ub,
// vb): mask positions at its ends, rows counted from the top of the picture.
void AddTexturedEdge(const RasterTarget& target, const FramePoint* points, int a, int b, int32_t ua, int32_t va,
                     int32_t ub, int32_t vb);
