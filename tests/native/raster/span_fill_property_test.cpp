// Random and extreme polygons against a plain reference rasteriser.
//
// The reference applies the same rules the slow way: every row asks every
// edge for its column with the whole formula in 64-bit arithmetic (wrapped to
// 32 bits where the renderer's arithmetic wraps), and every pixel of a span
// computes its mask position from scratch and checks it. The renderer's
// running sums and stepped coordinates must give the same tables and the same
// pixels, and nothing outside the frame may change.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "core/common/int_math.h"
#include "core/raster/edge_walk.h"
#include "core/raster/shadows.h"
#include "core/raster/textured_fill.h"

namespace {

int32_t Wrap32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }
std::pair<int32_t, int32_t> Ends(const SpanRow& row) { return {row.left, row.right}; }
int64_t Clamped(int64_t v, int64_t low, int64_t high) { return v < low ? low : (v > high ? high : v); }

// value0 + t * (value1 - value0) / d, each step wrapped as 32-bit arithmetic.
int32_t Interpolate(int32_t value0, int32_t value1, int32_t t, int32_t d) {
  const int32_t product = Wrap32(int64_t{t} * Wrap32(int64_t{value1} - value0));
  return Wrap32(int64_t{value0} + Wrap32(int64_t{product} / d));
}

struct RefEdge {
  FramePoint a, b;
  int32_t ua, va, ub, vb;  // mask position of each end, rows from the top
};

// Rows the edge visits: its own row when horizontal and on the frame,
// otherwise its clamped row range.
bool Visits(const RefEdge& e, int32_t y, int32_t height) {
  if (e.a.y == e.b.y) return e.a.y == y && y >= 0 && y < height;
  const int64_t low = Clamped(std::min(e.a.y, e.b.y), 0, height - 1);
  const int64_t high = Clamped(std::max(e.a.y, e.b.y), 0, height - 1);
  return y >= low && y <= high;
}

struct RefFaceRow {
  int32_t left, right, uL, uR, vL, vR;
};

void RefWidenFace(RefFaceRow& row, int32_t x, int32_t u, int32_t v) {
  if (x < row.left) row.left = x, row.uL = u, row.vL = v;
  if (x > row.right) row.right = x, row.uR = u, row.vR = v;
}

struct Reference {
  int32_t width, height, maskWidth, maskHeight, maskStride;
  const uint8_t* mask;
  std::vector<uint8_t> pixels;  // visible pixels, row by row

  std::vector<SpanRow> ShadowRows(const std::vector<RefEdge>& edges) const {
    std::vector<SpanRow> rows(height, SpanRow{width, -1});
    for (int32_t y = 0; y < height; ++y) {
      for (const RefEdge& e : edges) {
        if (!Visits(e, y, height)) continue;
        std::vector<int64_t> columns;
        if (e.a.y == e.b.y)
          columns = {e.a.x, e.b.x};
        else
          columns = {Interpolate(e.a.x, e.b.x, Wrap32(int64_t{y} - e.a.y), Wrap32(int64_t{e.b.y} - e.a.y))};
        for (int64_t c : columns) {
          const int32_t x = static_cast<int32_t>(Clamped(c, 0, width - 1));
          rows[y].left = std::min(rows[y].left, x), rows[y].right = std::max(rows[y].right, x);
        }
      }
    }
    return rows;
  }

  void Darken(const std::vector<SpanRow>& rows) {
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x)
        if (x >= rows[y].left && x <= rows[y].right) pixels[y * width + x] += 32;
  }

  std::vector<RefFaceRow> FaceRows(const std::vector<RefEdge>& edges) const {
    std::vector<RefFaceRow> rows(height, RefFaceRow{width, -1, 0, 0, 0, 0});
    for (int32_t y = 0; y < height; ++y) {
      for (const RefEdge& e : edges) {
        if (!Visits(e, y, height)) continue;
        const int32_t va = Wrap32(int64_t{maskHeight} - 1 - e.va), vb = Wrap32(int64_t{maskHeight} - 1 - e.vb);
        if (e.a.y == e.b.y) {
          RefWidenFace(rows[y], Clamped(e.a.x, 0, width - 1), Clamped(e.ua, 0, maskWidth - 1), va);
          RefWidenFace(rows[y], Clamped(e.b.x, 0, width - 1), Clamped(e.ub, 0, maskWidth - 1), vb);
        } else {
          const int32_t t = Wrap32(int64_t{y} - e.a.y), d = Wrap32(int64_t{e.b.y} - e.a.y);
          RefWidenFace(rows[y], Interpolate(e.a.x, e.b.x, t, d), Interpolate(e.ua, e.ub, t, d),
                       Interpolate(va, vb, t, d));
        }
      }
    }
    return rows;
  }

  static bool Inside(int64_t v, int64_t limit) { return v >= 0 && v < limit; }

  void FillSpan(int32_t base, int32_t row, int32_t xStart, int32_t xEnd, int32_t uL, int32_t vL, int32_t uR,
                int32_t vR) {
    if (!Inside(row, height) || xStart < 0 || xEnd >= width || xEnd < xStart) return;
    if (!Inside(uL, maskWidth) || !Inside(uR, maskWidth) || !Inside(vL, maskHeight) || !Inside(vR, maskHeight)) return;
    const int64_t n = int64_t{xEnd} - xStart + 1;
    const int64_t du = (int64_t{uR} - uL) * 256 / n, dv = (int64_t{vR} - vL) * 256 / n;
    for (int64_t k = 1; k <= n; ++k) {
      const int64_t u = uL * int64_t{256} + k * du, v = vL * int64_t{256} + k * dv;
      ASSERT_TRUE(Inside(u / 256, maskWidth) && Inside(v / 256, maskHeight)) << u << " " << v;
      pixels[row * width + xStart + k - 1] = static_cast<uint8_t>(base + mask[(v / 256) * maskStride + u / 256]);
    }
  }
};

// A raster target of the test's own: the frame lies inside guard bytes (the
// row padding between the width and the stride counts as guard too), which
// no fill may change; the face mask has its exact size, so that an
// over-read shows under the sanitizer build; the span tables are its own.
class SpanFillProperty : public ::testing::Test {
 protected:
  static constexpr size_t guardBytes = 256;
  static constexpr uint8_t guardValue = 0xA5;
  int32_t width = 0, height = 0;

  void SetUp() override {
    const int32_t maskWidth = 37, maskHeight = 23, stride = StrideOf(maskWidth);
    mask_.assign(static_cast<size_t>(stride) * maskHeight, 0);
    for (int32_t y = 0; y < maskHeight; ++y)
      for (int32_t x = 0; x < maskWidth; ++x)
        mask_[static_cast<size_t>(y) * stride + x] = static_cast<uint8_t>(x * 31 + y * 17 + x * y);
    target_.mask = mask_.data(), target_.maskWidth = maskWidth, target_.maskHeight = maskHeight;
    target_.maskStride = stride;
  }

  // A frame of width x height with tables of height rows reset to empty.
  void MakeFrame(int32_t frameWidth, int32_t frameHeight) {
    width = frameWidth, height = frameHeight;
    const int32_t stride = StrideOf(width);
    storage_.assign(guardBytes * 2 + static_cast<size_t>(stride) * height, guardValue);
    target_.width = width, target_.height = height, target_.stride = stride;
    target_.pixels = storage_.data() + guardBytes, target_.shadeStep = 32, target_.tables = &tables_;
    ASSERT_TRUE(AllocateSpanTables(tables_, height));
    for (int t = 0; t < spanTableCount; ++t) ResetSpanTable(tables_, height, t, height, width);
  }

  uint8_t* Pixel(int32_t x, int32_t y) { return target_.pixels + static_cast<size_t>(y) * target_.stride + x; }
  SpanRow Row(int table, int32_t y) { return tables_.rows[table][y]; }

  // The visible pixels of the frame, row by row.
  std::vector<uint8_t> Visible() {
    std::vector<uint8_t> pixels;
    for (int32_t y = 0; y < height; ++y) pixels.insert(pixels.end(), Pixel(0, y), Pixel(0, y) + width);
    return pixels;
  }

  // True while nothing outside columns 0..W-1 of rows 0..H-1 has changed.
  bool GuardsIntact() {
    const size_t frameBytes = static_cast<size_t>(target_.stride) * height;
    for (size_t i = 0; i < guardBytes; ++i)
      if (storage_[i] != guardValue || storage_[guardBytes + frameBytes + i] != guardValue) return false;
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = width; x < target_.stride; ++x)
        if (*Pixel(x, y) != guardValue) return false;
    return true;
  }

  // Tiny and odd frames first, so that the first failure reported is on the
  // smallest frame that shows it; 61 x 47 has three padding columns per row.
  template <typename Check>
  void ForEachFrameSize(int trialsOnTheLargest, Check check) {
    const int32_t sizes[][2] = {{1, 1}, {2, 3}, {3, 2}, {7, 5}, {61, 47}};
    for (const auto& size : sizes) {
      MakeFrame(size[0], size[1]);
      const int trials = width == 61 ? trialsOnTheLargest : trialsOnTheLargest / 10;
      for (int trial = 0; trial < trials && !HasFatalFailure(); ++trial) check(trial);
    }
  }

  // The failing input, to reproduce it by hand.
  std::string Input(const std::vector<RefEdge>& edges, int trial) const {
    std::ostringstream text;
    text << "trial " << trial << " on " << width << " x " << height << ", edges (x, y; u, v):";
    for (const RefEdge& e : edges)
      text << " (" << e.a.x << ", " << e.a.y << "; " << e.ua << ", " << e.va << ")-(" << e.b.x << ", " << e.b.y << "; "
           << e.ub << ", " << e.vb << ")";
    return text.str();
  }

  Reference StartReference() {
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) *Pixel(x, y) = static_cast<uint8_t>(random_());
    return Reference{width, height, target_.maskWidth, target_.maskHeight, target_.maskStride, target_.mask, Visible()};
  }

  // A coordinate that is usually near the frame and sometimes anywhere.
  int32_t Coordinate(int32_t extent, bool extreme) {
    static const int32_t special[] = {INT32_MIN, INT32_MIN + 1, -(1 << 30), -65536,        -1,       0,
                                      1,         65536,         1 << 30,    INT32_MAX - 1, INT32_MAX};
    if (!extreme) return std::uniform_int_distribution<int32_t>(-extent / 2, extent + extent / 2)(random_);
    switch (random_() % 4) {
      case 0: return special[random_() % std::size(special)];
      case 1: return static_cast<int32_t>(random_());
      case 2: return std::uniform_int_distribution<int32_t>(-2, extent + 1)(random_);
      default: return std::uniform_int_distribution<int32_t>(-extent * 40, extent * 40)(random_);
    }
  }

  std::vector<RefEdge> ConvexPolygon() {
    const int count = 3 + random_() % 6;
    std::vector<double> angles(count);
    for (double& a : angles) a = std::uniform_real_distribution<double>(0, 2 * 3.14159265358979)(random_);
    std::sort(angles.begin(), angles.end());
    const double cx = Coordinate(width, false), cy = Coordinate(height, false);
    const double radius = std::uniform_real_distribution<double>(0.5, width)(random_);
    std::vector<FramePoint> corners;
    for (double a : angles)
      corners.push_back(
          {static_cast<int32_t>(cx + radius * std::cos(a)), static_cast<int32_t>(cy + radius * std::sin(a))});
    std::vector<RefEdge> edges;
    for (int i = 0; i < count; ++i) edges.push_back({corners[i], corners[(i + 1) % count], 0, 0, 0, 0});
    return edges;
  }

  std::vector<RefEdge> TexturedTriangle(bool extreme) {
    FramePoint corners[3];
    int32_t us[3], vs[3];
    for (int i = 0; i < 3; ++i) {
      corners[i] = {Coordinate(width, extreme), Coordinate(height, extreme)};
      us[i] = random_() % 8 == 0 ? Coordinate(target_.maskWidth, extreme) : random_() % target_.maskWidth;
      vs[i] = random_() % 8 == 0 ? Coordinate(target_.maskHeight, extreme) : random_() % target_.maskHeight;
    }
    std::vector<RefEdge> edges;
    for (int i = 0, j = 1; i < 3; ++i, j = (i + 1) % 3)
      edges.push_back({corners[i], corners[j], us[i], vs[i], us[j], vs[j]});
    return edges;
  }

  // One polygon into one shadow table, a second into the next, so that the
  // copy adds overlapping shadows as the reference adds each table.
  void CheckShadow(const std::vector<RefEdge>& edges, int trial) {
    Reference reference = StartReference();
    const int table = firstShadowTable + trial % 7;
    ResetSpanTable(tables_, height, table, height, width);
    for (const RefEdge& e : edges) AddShadowEdge(target_, table, e.a.x, e.a.y, e.b.x, e.b.y);
    const std::vector<SpanRow> rows = reference.ShadowRows(edges);
    for (int32_t y = 0; y < height; ++y)
      ASSERT_EQ(Ends(Row(table, y)), Ends(rows[y])) << Input(edges, trial) << " row " << y << ": left, right";
    const std::vector<RefEdge> second = ConvexPolygon();
    ResetSpanTable(tables_, height, table + 1, height, width);
    for (const RefEdge& e : second) AddShadowEdge(target_, table + 1, e.a.x, e.a.y, e.b.x, e.b.y);
    const std::vector<uint8_t> background(target_.pixels,
                                          target_.pixels + static_cast<size_t>(target_.stride) * height);
    CopyBackgroundWithShadows(target_, background.data(), table, table + 1);
    reference.Darken(rows);
    reference.Darken(reference.ShadowRows(second));
    ASSERT_EQ(Visible(), reference.pixels) << Input(edges, trial);
    ASSERT_TRUE(GuardsIntact()) << Input(edges, trial);
  }

  void CheckFace(const std::vector<RefEdge>& edges, int trial) {
    Reference reference = StartReference();
    ResetSpanTable(tables_, height, faceTable, height, width);
    std::vector<FramePoint> points;
    for (const RefEdge& e : edges) points.insert(points.end(), {e.a, e.b});
    for (size_t i = 0; i < edges.size(); ++i)
      AddTexturedEdge(target_, points.data(), 2 * i, 2 * i + 1, edges[i].ua, edges[i].va, edges[i].ub, edges[i].vb);
    const std::vector<RefFaceRow> rows = reference.FaceRows(edges);
    for (int32_t y = 0; y < height; ++y) {
      const RefFaceRow& r = rows[y];
      // A mask position counts only where its end of the span was set (else 0 in the reference).
      const bool hasLeft = r.left != width, hasRight = r.right != -1;
      const SpanRow u = Row(faceColumnTable, y), v = Row(faceRowTable, y);
      ASSERT_EQ(std::make_tuple(Row(faceTable, y).left, Row(faceTable, y).right, hasLeft ? u.left : 0,
                                hasLeft ? v.left : 0, hasRight ? u.right : 0, hasRight ? v.right : 0),
                std::make_tuple(r.left, r.right, r.uL, r.vL, r.uR, r.vR))
          << Input(edges, trial) << " row " << y << ": left, right, left u, v, right u, v";
    }
    const int32_t base = static_cast<int32_t>(random_());
    FillTexturedSpans(target_, faceTable, base);
    for (int32_t y = 0; y < height; ++y)
      if (rows[y].right > rows[y].left)
        reference.FillSpan(base, y, rows[y].left, rows[y].right, rows[y].uL, rows[y].vL, rows[y].uR, rows[y].vR);
    ASSERT_EQ(Visible(), reference.pixels) << Input(edges, trial);
    ASSERT_TRUE(GuardsIntact()) << Input(edges, trial);
  }

  std::mt19937 random_{20240611};
  SpanTables tables_{};
  RasterTarget target_{};
  std::vector<uint8_t> storage_, mask_;
};

TEST_F(SpanFillProperty, ConvexShadowsMatchTheReference) {
  ForEachFrameSize(3000, [&](int trial) { CheckShadow(ConvexPolygon(), trial); });
}

// Triangles near the frame, then triangles with corners and mask positions
// anywhere, whose sums wrap as the reference's do.
TEST_F(SpanFillProperty, TexturedTrianglesAndExtremeEdgesMatchTheReferenceAndStayInTheFrame) {
  ForEachFrameSize(3000, [&](int trial) {
    CheckFace(TexturedTriangle(false), trial);
    const std::vector<RefEdge> edges = TexturedTriangle(true);
    if (!HasFatalFailure()) CheckShadow(edges, trial);
    if (!HasFatalFailure()) CheckFace(edges, trial);
  });
}

// Spans with ends on the mask's edges, and spans one past an edge of the
// frame or the mask (or right to left), which are dropped whole.
TEST_F(SpanFillProperty, SpansAtTheMaskEdgesStayInTheMask) {
  MakeFrame(61, 47);
  const int32_t lastU = target_.maskWidth - 1, lastV = target_.maskHeight - 1;
  const int32_t ends[][2] = {{0, 0},         {lastU, lastV}, {0, lastV},     {lastU, 0}, {1, lastV - 1},
                             {lastU - 1, 1}, {-1, 0},        {lastU + 1, 0}, {0, -1},    {lastU, lastV + 1}};
  for (int32_t xStart = -1; xStart < width; xStart += 3) {
    for (int32_t xEnd = xStart - 1; xEnd <= width; xEnd += 5) {
      const int32_t row = (xStart + xEnd + 3) % (height + 2) - 1;  // -1 .. height
      for (const auto& from : ends) {
        for (const auto& to : ends) {
          Reference reference = StartReference();
          FillTexturedSpan(target_, 7, row, xStart, xEnd, from[0], from[1], to[0], to[1]);
          reference.FillSpan(7, row, xStart, xEnd, from[0], from[1], to[0], to[1]);
          ASSERT_EQ(Visible(), reference.pixels) << xStart << ".." << xEnd;
        }
      }
    }
  }
  ASSERT_TRUE(GuardsIntact());
}

}  // namespace
