// textured_fill.cpp - the textured span fill: mask positions stepped in
// fixed8, made eight pixels at a time with SSE2 where the mask allows.
#include "core/raster/textured_fill.h"

#include <cstddef>

#include "core/common/int_math.h"
#include "core/raster/edge_walk.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Mask positions are stepped in fixed8 (times 256) inside an int32, which
// holds (2^23 - 1) * 256 at most: a larger mask cannot be addressed this way.
constexpr int32_t fixed8MaskLimit = 1 << 23;

// Mask offsets are made eight pixels at a time from 16-bit halves, which
// must hold the mask column, the mask row and the stride as signed values.
constexpr int32_t blockMaskLimit = 1 << 15;
constexpr int32_t blockPixels = 8;

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
// Four lanes of positions first + k * step, k = 1..4, as fixed16: the
// wrapped sums keep the low 32 bits, whose high half is the mask column or
// row exactly while it stays below 2^15. Made by adding shifted copies,
// without a multiply per lane.
__m128i Fixed16Lanes(fixed8 first, fixed8 step) {
  const __m128i delta = _mm_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(step) << 8));
  const __m128i twice = _mm_add_epi32(delta, _mm_slli_si128(delta, 4));  // 1, 2, 2, 2 steps
  const __m128i steps = _mm_add_epi32(twice, _mm_slli_si128(twice, 8));  // 1, 2, 3, 4 steps
  return _mm_add_epi32(_mm_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(first) << 8)), steps);
}

// The lanes four steps further on.
__m128i FourStepsOn(__m128i lanes, fixed8 step) {
  return _mm_add_epi32(lanes, _mm_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(step) << 10)));
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
// (its other offsets lie past the span's end and are never read). Only for
// a mask whose sides and stride fit 16-bit halves (BlocksFit).
__attribute__((always_inline)) inline void SampleBlocks(const SpanSampling& s, uint8_t* out, int32_t count) {
  __m128i u0 = Fixed16Lanes(s.u, s.du), u1 = FourStepsOn(u0, s.du);
  __m128i v0 = Fixed16Lanes(s.v, s.dv), v1 = FourStepsOn(v0, s.dv);
  const __m128i uStep = _mm_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(s.du) << 11));  // 8 steps, fixed16
  const __m128i vStep = _mm_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(s.dv) << 11));
  const __m128i columnAndStride =
      _mm_set1_epi32(static_cast<int32_t>((static_cast<uint32_t>(s.maskStride) << 16) | 1u));
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
}

// Whether the spans of this target can be made in blocks: the mask's sides
// and stride fit the 16-bit halves.
bool BlocksFit(const RasterTarget& target) {
  return target.maskWidth <= blockMaskLimit && target.maskHeight <= blockMaskLimit && target.maskStride >= 0 &&
         target.maskStride < blockMaskLimit;
}
#else
inline void SampleBlocks(const SpanSampling&, uint8_t*, int32_t) {}
bool BlocksFit(const RasterTarget&) { return false; }
#endif

// What every span of a target needs, checked once per fill: buffers to draw
// with, and a mask that fixed8 positions can address.
bool TargetFillable(const RasterTarget& target) {
  return target.pixels != nullptr && target.mask != nullptr && target.maskWidth <= fixed8MaskLimit &&
         target.maskHeight <= fixed8MaskLimit;
}

// One span of a fillable target; dropped whole when it reaches past the
// frame or the mask, else noted as drawn. Inline in the row loop, so that a
// span's set-up stays a few instructions.
__attribute__((always_inline)) inline void DrawSpan(const RasterTarget& target, bool blocks, int32_t colourBase,
                                                    int32_t row, int32_t xStart, int32_t xEnd, int32_t uL, int32_t vL,
                                                    int32_t uR, int32_t vR) {
  if (row < 0 || row >= target.height || xStart < 0 || xEnd >= target.width || xEnd < xStart) return;
  const int32_t maskWidth = target.maskWidth, maskHeight = target.maskHeight;
  if (uL < 0 || uL >= maskWidth || uR < 0 || uR >= maskWidth) return;
  if (vL < 0 || vL >= maskHeight || vR < 0 || vR >= maskHeight) return;

  // Both ends lie in the mask and |step| * n never exceeds the distance
  // between them (the steps truncate toward zero), so every stepped position
  // stays between the two ends: inside the mask, non-negative, and within an
  // int32 as fixed8.
  const int32_t n = xEnd - xStart + 1;      // 1..W: the guards keep it from overflowing
  const fixed8 du = ((uR - uL) * 256) / n;  // truncates toward zero
  const fixed8 dv = ((vR - vL) * 256) / n;
  const SpanSampling sampling = {
      target.mask, target.maskStride, static_cast<uint8_t>(colourBase), uL * 256, vL * 256, du, dv};
  uint8_t* out = target.pixels + static_cast<ptrdiff_t>(row) * target.stride + xStart;
  if (blocks)
    SampleBlocks(sampling, out, n);
  else
    SamplePixels(sampling, out, n);
  if (target.drawn != nullptr) NoteFaceDrawn(*target.drawn, row, xStart, xEnd);
}

}  // namespace

void FillTexturedSpans(const RasterTarget& target, int table, int32_t colourBase) {
  const SpanTables& tables = *target.tables;
  const int32_t rows = UsableRows(tables, target.height, table, table + 2);
  if (rows == 0 || !TargetFillable(target)) return;
  const bool blocks = BlocksFit(target);
  const SpanRow* columns = tables.rows[table].get();
  const SpanRow* us = tables.rows[table + 1].get();
  const SpanRow* vs = tables.rows[table + 2].get();
  int32_t first, last;
  RowsToVisit(tables, table, rows, first, last);  // rows outside are empty
  for (int32_t y = first; y <= last; ++y) {
    if (columns[y].right <= columns[y].left) continue;  // empty, or a single column: not drawn
    DrawSpan(target, blocks, colourBase, y, columns[y].left, columns[y].right, us[y].left, vs[y].left, us[y].right,
             vs[y].right);
  }
}

void FillTexturedSpan(const RasterTarget& target, int32_t colourBase, int32_t row, int32_t xStart, int32_t xEnd,
                      int32_t uL, int32_t vL, int32_t uR, int32_t vR) {
  if (TargetFillable(target)) DrawSpan(target, BlocksFit(target), colourBase, row, xStart, xEnd, uL, vL, uR, vR);
}

void FillTexturedFace(const RasterTarget& target, const FramePoint* points, const TexturedEdge* edges, int edgeCount,
                      int32_t colourBase) {
  if (target.tables == nullptr) return;
  ResetSpanTable(*target.tables, target.height, faceTable, target.height, target.width);
  for (int e = 0; e < edgeCount; ++e)
    AddTexturedEdge(target, points, edges[e].a, edges[e].b, edges[e].from.u, edges[e].from.v, edges[e].to.u,
                    edges[e].to.v);
  FillTexturedSpans(target, faceTable, colourBase);
}
