// span_tables.h - convex polygons walked into per-row spans, then filled.
//
// Eleven tables of frameHeight rows each: 0..2 for the face being drawn
// (columns, mask u, mask v), 3..10 for the shadows. An edge walk widens each
// row's (left, right) to the columns the edge reaches; a fill then draws
// every non-empty row. Faces are textured from the face mask (colour base +
// 0 or 16), shadows add shadeStep to the background's indices.
//
// All of it works on `scene` (scene_state.h): the frame buffer, its size and
// the face mask. Nothing writes outside the frame or reads outside the mask,
// whatever the coordinates.
#pragma once

#include <cstdint>

#include "scene/scene_state.h"

// Allocates the eleven tables with rows entries; returns 0 when memory runs out.
int AllocateSpanTables(int32_t rows);
// Sets rows 0..rows-1 to (leftValue, -1). The walks note the rows they
// widen, so a reset and a fill visit only those; code that writes a table's
// rows itself says so with MarkSpanTableWritten before the next fill or reset.
void ResetSpanTable(int table, int32_t rows, int32_t leftValue);
void MarkSpanTableWritten(int table);
int32_t Clamp(int32_t value, int32_t low, int32_t high);
void AddShadowEdge(int table, int32_t x0, int32_t y0, int32_t x1, int32_t y1);
// (ua, va), (ub, vb): mask positions counted from the top of the picture.
void AddTexturedEdge(const FramePoint* points, int a, int b, int32_t ua, int32_t va, int32_t ub,
                     int32_t vb);
void FillTexturedSpans(int table, int32_t colourBase);
void FillTexturedSpan(int32_t colourBase, int32_t row, int32_t xStart, int32_t xEnd, int32_t uL,
                      int32_t vL, int32_t uR, int32_t vR);
void DarkenSpan(int32_t row, int32_t xStart, int32_t xEnd);
void ApplyShadowTable(int table);
// Copies the background (frameStride * frameHeight bytes) into the frame and
// darkens it by shadow tables first..last, a row at a time while the row is
// still in the cache: the same bytes as a whole copy followed by
// ApplyShadowTable on each table, since additions modulo 256 commute. With
// first > last it is the plain copy.
void CopyBackgroundWithShadows(const uint8_t* background, int first, int last);
