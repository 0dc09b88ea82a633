// span_tables.cpp - edge walks into span tables, the textured face fill and
// the shadow darkening.
//
// A polygon is drawn in two stages: its edges are walked into a table that
// keeps, per frame row, the extreme columns the edges reached; then the
// table is filled row by row. Edge walks are 32-bit wrapping arithmetic with
// one truncating division per row and coordinate; the numerators are running
// sums, which equal the wrapped products (t + 1) * d = t * d + d modulo 2^32.
// Rows are clamped into the frame before a walk starts, columns are clamped
// (shadows) or the whole span is dropped at the fill (faces), so no write
// leaves the frame and no read leaves the mask.
#include "raster/span_tables.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Rows each of the eleven tables was allocated with.
int32_t spanTableRows = 0;

// Mask positions are stepped in fixed8 (times 256) inside an int32, which
// holds (2^23 - 1) * 256 at most: a larger mask cannot be addressed this way.
constexpr int32_t fixed8MaskLimit = 1 << 23;

// Sixteen frame pixels, for darkening a shadow span a block at a time.
typedef uint8_t PixelBlock __attribute__((vector_size(16)));

bool TablesExist() {
  for (const SpanRow* table : scene.spanTables)
    if (table == nullptr) return false;
  return true;
}

int32_t Min(int32_t a, int32_t b) { return a < b ? a : b; }
int32_t Max(int32_t a, int32_t b) { return a > b ? a : b; }

// Rows of tables first..last that a walk or fill may visit: the frame's
// rows, never more than were allocated; 0 when a table does not exist.
int32_t UsableRows(int first, int last) {
  if (first < 0 || last >= spanTableCount || !TablesExist()) return 0;
  return Max(0, Min(scene.frameHeight, spanTableRows));
}

// Widens a row of a flat table by one column.
void Widen(SpanRow& row, int32_t column) {
  if (column < row.left) row.left = column;
  if (column > row.right) row.right = column;
}

// Widens row y of the face tables by one column with its mask position.
// Strict comparisons: on a tie the edge walked first keeps its position.
void WidenFace(int32_t y, int32_t column, int32_t u, int32_t v) {
  SpanRow& columns = scene.spanTables[faceTable][y];
  if (column < columns.left) {
    columns.left = column;
    scene.spanTables[faceColumnTable][y].left = u;
    scene.spanTables[faceRowTable][y].left = v;
  }
  if (column > columns.right) {
    columns.right = column;
    scene.spanTables[faceColumnTable][y].right = u;
    scene.spanTables[faceRowTable][y].right = v;
  }
}

// One coordinate interpolated along an edge: value0 + t * delta / d for the
// row t = y - y0, with the numerator carried from row to row.
struct EdgeStepper {
  int32_t start, delta, numerator;
};

EdgeStepper StartStepper(int32_t value0, int32_t value1, int32_t firstT) {
  const int32_t delta = WrapSub(value1, value0);
  return {value0, delta, WrapMul(firstT, delta)};
}

int32_t StepValue(EdgeStepper& stepper, int32_t d) {
  const int32_t value = WrapAdd(stepper.start, TruncDiv(stepper.numerator, d));  // truncates toward zero
  stepper.numerator = WrapAdd(stepper.numerator, stepper.delta);
  return value;
}

}  // namespace

int AllocateSpanTables(int32_t rows) {
  if (rows < 1 || static_cast<uint64_t>(rows) > SIZE_MAX / sizeof(SpanRow)) return 0;
  if (TablesExist() && rows <= spanTableRows) return 1;  // made once; the frame size does not change
  SpanRow* made[spanTableCount] = {};
  for (SpanRow*& table : made) {
    // Zeroed, so that no row is ever read before it holds a defined value.
    table = static_cast<SpanRow*>(std::calloc(static_cast<size_t>(rows), sizeof(SpanRow)));
    if (table == nullptr) {
      for (SpanRow* done : made) std::free(done);
      return 0;
    }
  }
  for (int i = 0; i < spanTableCount; ++i) {
    std::free(scene.spanTables[i]);
    scene.spanTables[i] = made[i];
  }
  spanTableRows = rows;
  return 1;
}

void ResetSpanTable(int table, int32_t rows, int32_t leftValue) {
  if (UsableRows(table, table) == 0) return;
  SpanRow* spans = scene.spanTables[table];
  const int32_t count = Min(rows, spanTableRows);
  for (int32_t y = 0; y < count; ++y) spans[y] = {leftValue, -1};
}

int32_t Clamp(int32_t value, int32_t low, int32_t high) {
  if (value < low) return low;
  if (value > high) return high;
  return value;
}

void AddShadowEdge(int table, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  const int32_t rows = UsableRows(table, table);
  const int32_t lastColumn = scene.frameWidth - 1;
  if (rows == 0 || lastColumn < 0) return;
  SpanRow* spans = scene.spanTables[table];
  if (y0 == y1) {
    if (y0 < 0 || y0 >= rows) return;  // a horizontal edge off the frame adds nothing
    Widen(spans[y0], Clamp(x0, 0, lastColumn));
    Widen(spans[y0], Clamp(x1, 0, lastColumn));
    return;
  }
  // Rows are clamped, not clipped: an edge wholly below the frame still
  // reaches row 0, one wholly above it the top row.
  const int32_t yLow = Clamp(Min(y0, y1), 0, rows - 1);
  const int32_t yHigh = Clamp(Max(y0, y1), 0, rows - 1);
  const int32_t d = WrapSub(y1, y0);
  EdgeStepper x = StartStepper(x0, x1, WrapSub(yLow, y0));
  for (int32_t y = yLow; y <= yHigh; ++y) Widen(spans[y], Clamp(StepValue(x, d), 0, lastColumn));
}

void AddTexturedEdge(const FramePoint* points, int a, int b, int32_t ua, int32_t va, int32_t ub,
                     int32_t vb) {
  const int32_t rows = UsableRows(faceTable, faceRowTable);
  const int32_t lastColumn = scene.frameWidth - 1;
  if (rows == 0 || lastColumn < 0) return;
  const int32_t xa = points[a].x, ya = points[a].y;
  const int32_t xb = points[b].x, yb = points[b].y;
  // Mask rows are given from the top of the picture; the mask is stored
  // bottom row first.
  const int32_t vaStored = WrapSub(WrapSub(scene.faceMaskHeight, 1), va);
  const int32_t vbStored = WrapSub(WrapSub(scene.faceMaskHeight, 1), vb);
  if (ya == yb) {
    if (ya < 0 || ya >= rows) return;  // a horizontal edge off the frame adds nothing
    const int32_t lastMaskColumn = scene.faceMaskWidth - 1;
    WidenFace(ya, Clamp(xa, 0, lastColumn), Clamp(ua, 0, lastMaskColumn), vaStored);
    WidenFace(ya, Clamp(xb, 0, lastColumn), Clamp(ub, 0, lastMaskColumn), vbStored);
    return;
  }
  // Unlike the flat walk, columns and mask positions stay unclamped: a row
  // that leaves the frame or the mask is dropped whole by the fill.
  const int32_t yLow = Clamp(Min(ya, yb), 0, rows - 1);
  const int32_t yHigh = Clamp(Max(ya, yb), 0, rows - 1);
  const int32_t d = WrapSub(yb, ya);
  const int32_t firstT = WrapSub(yLow, ya);
  EdgeStepper x = StartStepper(xa, xb, firstT);
  EdgeStepper u = StartStepper(ua, ub, firstT);
  EdgeStepper v = StartStepper(vaStored, vbStored, firstT);
  for (int32_t y = yLow; y <= yHigh; ++y) {
    const int32_t column = StepValue(x, d);
    const int32_t maskColumn = StepValue(u, d);
    WidenFace(y, column, maskColumn, StepValue(v, d));
  }
}

void FillTexturedSpans(int table, int32_t colourBase) {
  const int32_t rows = UsableRows(table, table + 2);
  if (rows == 0) return;
  const SpanRow* columns = scene.spanTables[table];
  const SpanRow* us = scene.spanTables[table + 1];
  const SpanRow* vs = scene.spanTables[table + 2];
  for (int32_t y = 0; y < rows; ++y) {
    if (columns[y].right <= columns[y].left) continue;  // empty, or a single column: not drawn
    FillTexturedSpan(colourBase, y, columns[y].left, columns[y].right, us[y].left, vs[y].left, us[y].right,
                     vs[y].right);
  }
}

void FillTexturedSpan(int32_t colourBase, int32_t row, int32_t xStart, int32_t xEnd, int32_t uL,
                      int32_t vL, int32_t uR, int32_t vR) {
  // A span that reaches past the frame or the mask is dropped whole.
  if (row < 0 || row >= scene.frameHeight || xStart < 0 || xEnd >= scene.frameWidth || xEnd < xStart) return;
  const int32_t maskWidth = scene.faceMaskWidth, maskHeight = scene.faceMaskHeight;
  if (uL < 0 || uL >= maskWidth || uR < 0 || uR >= maskWidth) return;
  if (vL < 0 || vL >= maskHeight || vR < 0 || vR >= maskHeight) return;
  if (maskWidth > fixed8MaskLimit || maskHeight > fixed8MaskLimit) return;
  if (scene.framePixels == nullptr || scene.faceMask == nullptr) return;

  // Both ends lie in the mask and |step| * n never exceeds the distance
  // between them (the steps truncate toward zero), so every stepped position
  // stays between the two ends: inside the mask, non-negative, and within an
  // int32 as fixed8.
  const int32_t n = xEnd - xStart + 1;            // 1..W: the guards keep it from overflowing
  const fixed8 du = ((uR - uL) * 256) / n;        // truncates toward zero
  const fixed8 dv = ((vR - vL) * 256) / n;
  fixed8 u = uL * 256;
  fixed8 v = vL * 256;
  const uint8_t base = static_cast<uint8_t>(colourBase);  // the pixel is (colourBase + sample) mod 256
  const uint8_t* mask = scene.faceMask;
  const ptrdiff_t maskStride = scene.faceMaskStride;
  uint8_t* out = scene.framePixels + static_cast<ptrdiff_t>(row) * scene.frameStride + xStart;
  for (int32_t i = 0; i < n; ++i) {
    u += du;  // the step comes first: the first pixel samples one step in
    v += dv;
    out[i] = static_cast<uint8_t>(base + mask[(v >> 8) * maskStride + (u >> 8)]);
  }
}

void DarkenSpan(int32_t row, int32_t xStart, int32_t xEnd) {
  if (xEnd < xStart) return;
  if (row < 0 || row >= scene.frameHeight || scene.framePixels == nullptr) return;
  // Shadow tables hold clamped columns already; a direct call is cut to the frame.
  const int32_t first = Max(xStart, 0);
  const int32_t last = Min(xEnd, scene.frameWidth - 1);
  if (last < first) return;
  const uint8_t step = static_cast<uint8_t>(scene.shadeStep);
  uint8_t* pixels = scene.framePixels + static_cast<ptrdiff_t>(row) * scene.frameStride + first;
  size_t count = static_cast<size_t>(last - first) + 1;
  // Sixteen pixels at a time: every lane of a byte vector adds modulo 256,
  // exactly as the single pixels after them do.
  for (; count >= sizeof(PixelBlock); count -= sizeof(PixelBlock), pixels += sizeof(PixelBlock)) {
    PixelBlock block;
    std::memcpy(&block, pixels, sizeof block);
    block += step;
    std::memcpy(pixels, &block, sizeof block);
  }
  for (; count > 0; --count, ++pixels) *pixels = static_cast<uint8_t>(*pixels + step);  // wraps, no saturation
}

void ApplyShadowTable(int table) {
  const int32_t rows = UsableRows(table, table);
  if (rows == 0) return;
  const SpanRow* spans = scene.spanTables[table];
  for (int32_t y = 0; y < rows; ++y) DarkenSpan(y, spans[y].left, spans[y].right);
}
