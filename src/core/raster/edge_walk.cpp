// edge_walk.cpp - edge walks into span tables.
//
// Edge walks are 32-bit wrapping arithmetic: a truncating division per row
// and coordinate of running sums, which equal the wrapped products
// (t + 1) * d = t * d + d modulo 2^32; when no sum of a walk wraps, the same
// quotients come from stepping a quotient and remainder.
#include "core/raster/edge_walk.h"

#include <algorithm>

#include "core/common/int_math.h"

namespace {

int32_t Clamp(int32_t value, int32_t low, int32_t high) {
  if (value < low) return low;
  if (value > high) return high;
  return value;
}

// Widens a row of a flat table by one column.
void Widen(SpanRow& row, int32_t column) {
  if (column < row.left) row.left = column;
  if (column > row.right) row.right = column;
}

// Widens row y of the face tables by one column with its mask position.
// Strict comparisons: on a tie the edge walked first keeps its position.
void WidenFace(const std::unique_ptr<SpanRow[]>* rows, int32_t y, int32_t column, int32_t u, int32_t v) {
  SpanRow& columns = rows[faceTable][y];
  if (column < columns.left) {
    columns.left = column;
    rows[faceColumnTable][y].left = u;
    rows[faceRowTable][y].left = v;
  }
  if (column > columns.right) {
    columns.right = column;
    rows[faceColumnTable][y].right = u;
    rows[faceRowTable][y].right = v;
  }
}

// One coordinate interpolated along an edge: value0 + t * delta / d for the
// row t = y - y0, with the numerator carried from row to row.
struct EdgeStepper {
  int32_t start, delta, numerator, d;
};

EdgeStepper StartStepper(int32_t value0, int32_t value1, int32_t firstT, int32_t d) {
  const int32_t delta = WrapSub(value1, value0);
  return {value0, delta, WrapMul(firstT, delta), d};
}

int32_t Step(EdgeStepper& stepper) {
  const int32_t value = WrapAdd(stepper.start, TruncDiv(stepper.numerator, stepper.d));  // truncates toward zero
  stepper.numerator = WrapAdd(stepper.numerator, stepper.delta);
  return value;
}

// The same interpolation without a division per row: the numerator times
// the sign of d, M = q * D + r with D = |d| and 0 <= r < D, stepped by the
// quotient and remainder of the per-row change with a carry. M keeps one
// sign over the walk (it moves one way, and both ends are checked), so the
// walk steps |M|, whose floor quotient is its truncated one, and puts the
// sign back. Exact while no numerator of the walk leaves the int32 range,
// which StartDda checks for the whole walk in 64 bits before it is used.
struct EdgeDda {
  int32_t start, q, qStep;
  uint32_t r, rStep, divisor;
  int32_t sign;  // 0: M >= 0 all the walk; -1: M <= 0 all the walk
};

int64_t FloorDiv(int64_t a, int64_t b) {  // b > 0
  const int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

// False when a numerator could wrap, a quotient leave the int32 range or M
// change sign within the walk: the walk must then divide row by row.
bool StartDda(EdgeDda& dda, int32_t value0, int32_t value1, int32_t firstT, int32_t d, int32_t count) {
  const int64_t delta = WrapSub(value1, value0);
  const int64_t first = static_cast<int64_t>(firstT) * delta;
  const int64_t last = first + static_cast<int64_t>(count - 1) * delta;
  if (d == INT32_MIN || first < -INT32_MAX || first > INT32_MAX || last < -INT32_MAX || last > INT32_MAX) return false;
  const int64_t divisor = d < 0 ? -static_cast<int64_t>(d) : d;
  int64_t m = d < 0 ? -first : first, mLast = d < 0 ? -last : last, step = d < 0 ? -delta : delta;
  const bool negative = m < 0 || mLast < 0;
  if (negative && (m > 0 || mLast > 0)) return false;
  if (negative) m = -m, step = -step;  // |M|, still within the int32 range
  const int64_t q = m / divisor, qStep = FloorDiv(step, divisor);
  if (qStep < INT32_MIN || qStep > INT32_MAX) return false;
  dda = {value0,
         static_cast<int32_t>(q),
         static_cast<int32_t>(qStep),
         static_cast<uint32_t>(m - q * divisor),
         static_cast<uint32_t>(step - qStep * divisor),
         static_cast<uint32_t>(divisor),
         negative ? -1 : 0};
  return true;
}

// Without branches: the carries follow the slopes' fractions, which no
// predictor guesses.
int32_t Step(EdgeDda& dda) {
  const int32_t quotient = WrapSub(dda.q ^ dda.sign, dda.sign);  // q, or -q for a walk of M <= 0
  const int32_t value = WrapAdd(dda.start, quotient);
  dda.r += dda.rStep;  // below 2 * divisor <= 2^32: no wrap
  const uint32_t carry = static_cast<uint32_t>(dda.r >= dda.divisor);
  dda.r -= (0u - carry) & dda.divisor;
  dda.q = WrapAdd(dda.q, WrapAdd(dda.qStep, static_cast<int32_t>(carry)));
  return value;
}

// Rows yLow..yHigh of a face edge, with whichever stepper the walk allows.
template <typename Stepper>
void WalkFaceRows(const std::unique_ptr<SpanRow[]>* rows, int32_t yLow, int32_t yHigh, Stepper x, Stepper u,
                  Stepper v) {
  for (int32_t y = yLow; y <= yHigh; ++y) {
    const int32_t column = Step(x);
    const int32_t maskColumn = Step(u);
    WidenFace(rows, y, column, maskColumn, Step(v));
  }
}

}  // namespace

void AddShadowEdge(const RasterTarget& target, int table, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  SpanTables& tables = *target.tables;
  const int32_t rows = UsableRows(tables, target.height, table, table);
  const int32_t lastColumn = target.width - 1;
  if (rows == 0 || lastColumn < 0) return;
  SpanRow* spans = tables.rows[table].get();
  if (y0 == y1) {
    if (y0 < 0 || y0 >= rows) return;  // a horizontal edge off the frame adds nothing
    NoteWritten(tables, table, table, y0, y0);
    Widen(spans[y0], Clamp(x0, 0, lastColumn));
    Widen(spans[y0], Clamp(x1, 0, lastColumn));
    return;
  }
  // Rows are clamped, not clipped: an edge wholly below the frame still
  // reaches row 0, one wholly above it the top row.
  const int32_t yLow = Clamp(std::min(y0, y1), 0, rows - 1);
  const int32_t yHigh = Clamp(std::max(y0, y1), 0, rows - 1);
  const int32_t d = WrapSub(y1, y0);
  NoteWritten(tables, table, table, yLow, yHigh);
  EdgeDda stepped;
  if (StartDda(stepped, x0, x1, WrapSub(yLow, y0), d, yHigh - yLow + 1)) {
    for (int32_t y = yLow; y <= yHigh; ++y) Widen(spans[y], Clamp(Step(stepped), 0, lastColumn));
    return;
  }
  EdgeStepper x = StartStepper(x0, x1, WrapSub(yLow, y0), d);
  for (int32_t y = yLow; y <= yHigh; ++y) Widen(spans[y], Clamp(Step(x), 0, lastColumn));
}

void AddTexturedEdge(const RasterTarget& target, const FramePoint* points, int a, int b, int32_t ua, int32_t va,
                     int32_t ub, int32_t vb) {
  SpanTables& tables = *target.tables;
  const int32_t rows = UsableRows(tables, target.height, faceTable, faceRowTable);
  const int32_t lastColumn = target.width - 1;
  if (rows == 0 || lastColumn < 0) return;
  const int32_t xa = points[a].x, ya = points[a].y;
  const int32_t xb = points[b].x, yb = points[b].y;
  // Mask rows are given from the top of the picture; the mask is stored
  // bottom row first.
  const int32_t vaStored = WrapSub(WrapSub(target.maskHeight, 1), va);
  const int32_t vbStored = WrapSub(WrapSub(target.maskHeight, 1), vb);
  if (ya == yb) {
    if (ya < 0 || ya >= rows) return;  // a horizontal edge off the frame adds nothing
    NoteWritten(tables, faceTable, faceRowTable, ya, ya);
    const int32_t lastMaskColumn = target.maskWidth - 1;
    WidenFace(tables.rows, ya, Clamp(xa, 0, lastColumn), Clamp(ua, 0, lastMaskColumn), vaStored);
    WidenFace(tables.rows, ya, Clamp(xb, 0, lastColumn), Clamp(ub, 0, lastMaskColumn), vbStored);
    return;
  }
  // Unlike the flat walk, columns and mask positions stay unclamped: a row
  // that leaves the frame or the mask is dropped whole by the fill.
  const int32_t yLow = Clamp(std::min(ya, yb), 0, rows - 1);
  const int32_t yHigh = Clamp(std::max(ya, yb), 0, rows - 1);
  const int32_t d = WrapSub(yb, ya);
  const int32_t firstT = WrapSub(yLow, ya);
  NoteWritten(tables, faceTable, faceRowTable, yLow, yHigh);
  EdgeDda xd, ud, vd;
  const int32_t count = yHigh - yLow + 1;
  if (StartDda(xd, xa, xb, firstT, d, count) && StartDda(ud, ua, ub, firstT, d, count) &&
      StartDda(vd, vaStored, vbStored, firstT, d, count)) {
    WalkFaceRows(tables.rows, yLow, yHigh, xd, ud, vd);
    return;
  }
  WalkFaceRows(tables.rows, yLow, yHigh, StartStepper(xa, xb, firstT, d), StartStepper(ua, ub, firstT, d),
               StartStepper(vaStored, vbStored, firstT, d));
}
