// span_tables.cpp - edge walks into span tables, the textured face fill and
// the shadow darkening.
//
// A polygon is drawn in two stages: its edges are walked into a table that
// keeps, per frame row, the extreme columns the edges reached; then the
// table is filled row by row. Edge walks are 32-bit wrapping arithmetic: a
// truncating division per row and coordinate of running sums, which equal
// the wrapped products (t + 1) * d = t * d + d modulo 2^32; when no sum of a
// walk wraps, the same quotients come from stepping a quotient and remainder.
// Rows are clamped into the frame before a walk starts, columns are clamped
// (shadows) or the whole span is dropped at the fill (faces), so no write
// leaves the frame and no read leaves the mask.
#include "raster/span_tables.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Rows each of the eleven tables was allocated with.
int32_t spanTableRows = 0;

// Rows of a table that may hold a span: those walked since its last reset
// (low > high when none). A face covers a few hundred of the frame's rows,
// so a reset and a fill that visit only these save a pass over the whole
// table per face. everyRow means any row may hold anything: after
// allocation, after a write from outside, or after a reset that did not
// reach every allocated row or used another left value.
struct WrittenRows {
  int32_t low, high;
  bool everyRow;
  int32_t resetLeft;  // the left value of the last reset that reached every row
};
WrittenRows writtenRows[spanTableCount];
constexpr WrittenRows unknownRows = {INT32_MAX, INT32_MIN, true, 0};

// Mask positions are stepped in fixed8 (times 256) inside an int32, which
// holds (2^23 - 1) * 256 at most: a larger mask cannot be addressed this way.
constexpr int32_t fixed8MaskLimit = 1 << 23;

// Mask offsets are made eight pixels at a time from 16-bit halves, which
// must hold the mask column, the mask row and the stride as signed values.
constexpr int32_t blockMaskLimit = 1 << 15;
constexpr int32_t blockPixels = 8;

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

// Tables first..last may hold spans on rows low..high from now on.
void NoteWritten(int first, int last, int32_t low, int32_t high) {
  for (int t = first; t <= last; ++t) {
    writtenRows[t].low = Min(writtenRows[t].low, low);
    writtenRows[t].high = Max(writtenRows[t].high, high);
  }
}

// The rows of a table a fill must visit, within its usable rows.
void RowsToVisit(int table, int32_t rows, int32_t& first, int32_t& last) {
  const WrittenRows& w = writtenRows[table];
  first = w.everyRow ? 0 : Max(w.low, 0);
  last = w.everyRow ? rows - 1 : Min(w.high, rows - 1);
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

// The same interpolation without a division per row: the numerator times
// the sign of d, M = q * D + r with D = |d| and 0 <= r < D (floor division),
// stepped by the quotient and remainder of the per-row change with a carry.
// Exact while no numerator of the walk leaves the int32 range, which
// StartDda checks for the whole walk in 64 bits before it is used.
struct EdgeDda {
  int32_t start, q, qStep;
  uint32_t r, rStep, divisor;
};

int64_t FloorDiv(int64_t a, int64_t b) {  // b > 0
  const int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

// False when a numerator could wrap or a quotient leave the int32 range: the
// walk must then divide row by row.
bool StartDda(EdgeDda& dda, int32_t value0, int32_t value1, int32_t firstT, int32_t d, int32_t count) {
  const int64_t delta = WrapSub(value1, value0);
  const int64_t first = static_cast<int64_t>(firstT) * delta;
  const int64_t last = first + static_cast<int64_t>(count - 1) * delta;
  if (d == INT32_MIN || first < -INT32_MAX || first > INT32_MAX || last < -INT32_MAX || last > INT32_MAX) return false;
  const int64_t divisor = d < 0 ? -static_cast<int64_t>(d) : d;
  const int64_t m = d < 0 ? -first : first, step = d < 0 ? -delta : delta;
  const int64_t q = FloorDiv(m, divisor), qStep = FloorDiv(step, divisor);
  if (qStep < INT32_MIN || qStep > INT32_MAX) return false;
  dda = {value0, static_cast<int32_t>(q), static_cast<int32_t>(qStep), static_cast<uint32_t>(m - q * divisor),
         static_cast<uint32_t>(step - qStep * divisor), static_cast<uint32_t>(divisor)};
  return true;
}

// Without branches: the carries follow the slopes' fractions, which no
// predictor guesses.
int32_t StepDda(EdgeDda& dda) {
  // The floor quotient moves one up to truncate a negative, inexact quotient toward zero.
  const uint32_t up = static_cast<uint32_t>(dda.r != 0) & (static_cast<uint32_t>(dda.q) >> 31);
  const int32_t value = WrapAdd(dda.start, WrapAdd(dda.q, static_cast<int32_t>(up)));
  dda.r += dda.rStep;  // below 2 * divisor <= 2^32: no wrap
  const uint32_t carry = static_cast<uint32_t>(dda.r >= dda.divisor);
  dda.r -= (0u - carry) & dda.divisor;
  dda.q = WrapAdd(dda.q, WrapAdd(dda.qStep, static_cast<int32_t>(carry)));
  return value;
}

// A span's walk through the mask: the position before the next pixel and
// the step per pixel, in fixed8.
struct SpanSampling {
  const uint8_t* mask;
  ptrdiff_t maskStride;
  uint8_t base;  // the pixel is (colourBase + sample) mod 256
  fixed8 u, v, du, dv;
};

// Pixels one at a time: the step comes first, so the first pixel samples
// one step in.
void SamplePixels(SpanSampling s, uint8_t* out, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    s.u += s.du;
    s.v += s.dv;
    out[i] = static_cast<uint8_t>(s.base + s.mask[(s.v >> 8) * s.maskStride + (s.u >> 8)]);
  }
}

#if defined(__SSE2__)
// Four lanes of positions first + k * step (k = 1..4 or 5..8), as fixed16:
// the wrapped product keeps the low 32 bits, whose high half is the mask
// column or row exactly while it stays below 2^15.
__m128i Fixed16Lanes(fixed8 first, fixed8 step, uint32_t k0) {
  const uint32_t start = static_cast<uint32_t>(first) << 8, delta = static_cast<uint32_t>(step) << 8;
  return _mm_setr_epi32(static_cast<int32_t>(start + k0 * delta), static_cast<int32_t>(start + (k0 + 1) * delta),
                        static_cast<int32_t>(start + (k0 + 2) * delta), static_cast<int32_t>(start + (k0 + 3) * delta));
}

// Mask offsets of eight pixels, row * stride + column, from one multiply-add
// of (column, row) word pairs by (1, stride) per four pixels.
void BlockOffsets(__m128i u0, __m128i u1, __m128i v0, __m128i v1, __m128i columnAndStride, uint32_t* offsets) {
  const __m128i rowHalves = _mm_set1_epi32(static_cast<int32_t>(0xFFFF0000u));
  const __m128i pairs0 = _mm_or_si128(_mm_srli_epi32(u0, 16), _mm_and_si128(v0, rowHalves));
  const __m128i pairs1 = _mm_or_si128(_mm_srli_epi32(u1, 16), _mm_and_si128(v1, rowHalves));
  _mm_store_si128(reinterpret_cast<__m128i*>(offsets), _mm_madd_epi16(pairs0, columnAndStride));
  _mm_store_si128(reinterpret_cast<__m128i*>(offsets + 4), _mm_madd_epi16(pairs1, columnAndStride));
}

// The whole span eight pixels at a time, the offsets made in vectors and
// the samples read one by one; the last block draws only the pixels left
// (its other offsets lie past the span's end and are never read). Returns
// the pixels drawn: all of them, or none when the mask is too large for
// 16-bit halves.
int32_t SampleBlocks(const SpanSampling& s, uint8_t* out, int32_t count, int32_t maskWidth, int32_t maskHeight) {
  if (maskWidth > blockMaskLimit || maskHeight > blockMaskLimit) return 0;
  if (s.maskStride < 0 || s.maskStride >= blockMaskLimit) return 0;
  __m128i u0 = Fixed16Lanes(s.u, s.du, 1), u1 = Fixed16Lanes(s.u, s.du, 5);
  __m128i v0 = Fixed16Lanes(s.v, s.dv, 1), v1 = Fixed16Lanes(s.v, s.dv, 5);
  const __m128i uStep = _mm_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(s.du) << 11));  // 8 steps, fixed16
  const __m128i vStep = _mm_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(s.dv) << 11));
  const __m128i columnAndStride = _mm_set1_epi32(static_cast<int32_t>((static_cast<uint32_t>(s.maskStride) << 16) | 1u));
  alignas(16) uint32_t offsets[blockPixels];  // non-negative: every sampled position lies in the mask
  int32_t left = count;
  for (; left >= blockPixels; left -= blockPixels, out += blockPixels) {
    BlockOffsets(u0, u1, v0, v1, columnAndStride, offsets);
#pragma GCC unroll 8
    for (int k = 0; k < blockPixels; ++k) out[k] = static_cast<uint8_t>(s.base + s.mask[offsets[k]]);
    u0 = _mm_add_epi32(u0, uStep), u1 = _mm_add_epi32(u1, uStep);
    v0 = _mm_add_epi32(v0, vStep), v1 = _mm_add_epi32(v1, vStep);
  }
  if (left > 0) {
    BlockOffsets(u0, u1, v0, v1, columnAndStride, offsets);
    for (int32_t k = 0; k < left; ++k) out[k] = static_cast<uint8_t>(s.base + s.mask[offsets[k]]);
  }
  return count;
}
#else
int32_t SampleBlocks(const SpanSampling&, uint8_t*, int32_t, int32_t, int32_t) { return 0; }
#endif

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
    writtenRows[i] = unknownRows;
  }
  spanTableRows = rows;
  return 1;
}

void ResetSpanTable(int table, int32_t rows, int32_t leftValue) {
  if (UsableRows(table, table) == 0) return;
  SpanRow* spans = scene.spanTables[table];
  const int32_t count = Min(rows, spanTableRows);
  WrittenRows& w = writtenRows[table];
  if (!w.everyRow && leftValue == w.resetLeft) {
    // Every other row still holds this very reset value.
    for (int32_t y = Max(w.low, 0); y <= Min(w.high, count - 1); ++y) spans[y] = {leftValue, -1};
    w.low = Max(w.low, Max(count, 0));  // rows past count keep what they hold
    return;
  }
  for (int32_t y = 0; y < count; ++y) spans[y] = {leftValue, -1};
  w = count == spanTableRows ? WrittenRows{INT32_MAX, INT32_MIN, false, leftValue} : unknownRows;
}

void MarkSpanTableWritten(int table) {
  if (table >= 0 && table < spanTableCount) writtenRows[table] = unknownRows;
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
    NoteWritten(table, table, y0, y0);
    Widen(spans[y0], Clamp(x0, 0, lastColumn));
    Widen(spans[y0], Clamp(x1, 0, lastColumn));
    return;
  }
  // Rows are clamped, not clipped: an edge wholly below the frame still
  // reaches row 0, one wholly above it the top row.
  const int32_t yLow = Clamp(Min(y0, y1), 0, rows - 1);
  const int32_t yHigh = Clamp(Max(y0, y1), 0, rows - 1);
  const int32_t d = WrapSub(y1, y0);
  NoteWritten(table, table, yLow, yHigh);
  EdgeDda stepped;
  if (StartDda(stepped, x0, x1, WrapSub(yLow, y0), d, yHigh - yLow + 1)) {
    for (int32_t y = yLow; y <= yHigh; ++y) Widen(spans[y], Clamp(StepDda(stepped), 0, lastColumn));
    return;
  }
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
    NoteWritten(faceTable, faceRowTable, ya, ya);
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
  NoteWritten(faceTable, faceRowTable, yLow, yHigh);
  EdgeDda xd, ud, vd;
  const int32_t count = yHigh - yLow + 1;
  if (StartDda(xd, xa, xb, firstT, d, count) && StartDda(ud, ua, ub, firstT, d, count) &&
      StartDda(vd, vaStored, vbStored, firstT, d, count)) {
    for (int32_t y = yLow; y <= yHigh; ++y) {
      const int32_t column = StepDda(xd);
      const int32_t maskColumn = StepDda(ud);
      WidenFace(y, column, maskColumn, StepDda(vd));
    }
    return;
  }
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
  int32_t first, last;
  RowsToVisit(table, rows, first, last);  // rows outside are empty
  for (int32_t y = first; y <= last; ++y) {
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
  const SpanSampling sampling = {scene.faceMask, scene.faceMaskStride, static_cast<uint8_t>(colourBase), uL * 256, vL * 256,
                           du, dv};
  uint8_t* out = scene.framePixels + static_cast<ptrdiff_t>(row) * scene.frameStride + xStart;
  if (SampleBlocks(sampling, out, n, maskWidth, maskHeight) == 0) SamplePixels(sampling, out, n);
}

void DarkenSpan(int32_t row, int32_t xStart, int32_t xEnd) {
  if (xEnd < xStart) return;
  if (row < 0 || row >= scene.frameHeight || scene.framePixels == nullptr) return;
  // Shadow tables hold clamped columns already; a direct call is cut to the frame.
  const int32_t first = Max(xStart, 0);
  const int32_t last = Min(xEnd, scene.frameWidth - 1);
  if (last < first) return;
  AddToPixels(scene.framePixels + static_cast<ptrdiff_t>(row) * scene.frameStride + first,
              static_cast<size_t>(last - first) + 1, static_cast<uint8_t>(scene.shadeStep));
}

void ApplyShadowTable(int table) {
  const int32_t rows = UsableRows(table, table);
  if (rows == 0) return;
  const SpanRow* spans = scene.spanTables[table];
  int32_t first, last;
  RowsToVisit(table, rows, first, last);  // rows outside are empty
  for (int32_t y = first; y <= last; ++y) DarkenSpan(y, spans[y].left, spans[y].right);
}

namespace {

// Darkens row y by tables first..last (those whose rows from..to hold it)
// in one pass: the row is cut where a span starts or ends, and each piece
// gets shadeStep once per span over it, so every pixel is written once.
void DarkenRow(int32_t y, int first, int last, const int32_t* from, const int32_t* to) {
  int32_t starts[spanTableCount], ends[spanTableCount];  // each kept sorted
  int n = 0;
  for (int t = first; t <= last; ++t) {
    if (y < from[t] || y > to[t]) continue;
    const int32_t left = Max(scene.spanTables[t][y].left, 0), right = Min(scene.spanTables[t][y].right, scene.frameWidth - 1);
    if (right < left) continue;
    int i = n, j = n;
    for (; i > 0 && starts[i - 1] > left; --i) starts[i] = starts[i - 1];
    starts[i] = left;
    for (; j > 0 && ends[j - 1] > right + 1; --j) ends[j] = ends[j - 1];
    ends[j] = right + 1;  // one past the span
    ++n;
  }
  uint8_t* row = scene.framePixels + static_cast<ptrdiff_t>(y) * scene.frameStride;
  const uint32_t step = static_cast<uint32_t>(scene.shadeStep);
  int32_t at = 0;
  int depth = 0, i = 0, j = 0;
  while (j < n) {
    const bool opens = i < n && starts[i] <= ends[j];
    const int32_t next = opens ? starts[i] : ends[j];
    if (depth > 0 && next > at) AddToPixels(row + at, static_cast<size_t>(next - at), static_cast<uint8_t>(step * static_cast<uint32_t>(depth)));
    at = next;
    if (opens) ++depth, ++i;
    else --depth, ++j;
  }
}

}  // namespace

void CopyBackgroundWithShadows(const uint8_t* background, int first, int last) {
  if (scene.framePixels == nullptr || background == nullptr || scene.frameHeight <= 0 || scene.frameStride <= 0) return;
  const size_t stride = static_cast<size_t>(scene.frameStride);
  const int32_t height = scene.frameHeight;
  const int32_t rows = first <= last ? UsableRows(first, last) : 0;
  int32_t low = rows, high = -1;  // the rows any of the tables may darken
  int32_t from[spanTableCount] = {}, to[spanTableCount] = {};
  for (int t = first; rows > 0 && t <= last; ++t) {
    RowsToVisit(t, rows, from[t], to[t]);
    low = Min(low, from[t]);
    high = Max(high, to[t]);
  }
  if (high < low) low = high = height;  // nothing to darken: one plain copy
  std::memcpy(scene.framePixels, background, stride * static_cast<size_t>(low));
  for (int32_t y = low; y <= high && y < height; ++y) {
    const size_t offset = stride * static_cast<size_t>(y);
    std::memcpy(scene.framePixels + offset, background + offset, stride);
    DarkenRow(y, first, last, from, to);
  }
  const int32_t rest = Min(high + 1, height);
  std::memcpy(scene.framePixels + stride * static_cast<size_t>(rest), background + stride * static_cast<size_t>(rest),
              stride * static_cast<size_t>(height - rest));
}
