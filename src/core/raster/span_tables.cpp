// span_tables.cpp - allocation, reset and the written-rows bookkeeping of
// the span tables.
//
// A face covers a few hundred of the frame's rows, so a reset and a fill
// that visit only the rows walked since the last reset save a pass over the
// whole table per face.
#include "core/raster/span_tables.h"

#include <algorithm>
#include <cstddef>

#include "core/common/ownership.h"

namespace {
constexpr WrittenRows unknownRows = {INT32_MAX, INT32_MIN, true, 0};

// Rows first..last to (leftValue, -1); the bounds are read once, so that
// the compiler makes a plain block fill of it.
void FillRows(SpanRow* spans, int32_t first, int32_t last, int32_t leftValue) {
  const SpanRow empty = {leftValue, -1};
  for (int32_t y = first; y <= last; ++y) spans[y] = empty;
}

}  // namespace

bool SpanTablesExist(const SpanTables& tables) {
  for (const std::unique_ptr<SpanRow[]>& table : tables.rows)
    if (table == nullptr) return false;
  return true;
}

bool AllocateSpanTables(SpanTables& tables, int32_t rows) {
  if (rows < 1 || static_cast<uint64_t>(rows) > SIZE_MAX / sizeof(SpanRow)) return false;
  if (SpanTablesExist(tables) && rows <= tables.allocatedRows)
    return true;  // made once; the frame size does not change
  std::unique_ptr<SpanRow[]> made[spanTableCount];
  // Zeroed, so that no row is ever read before it holds a defined value.
  if (!Allocated([&] {
        for (std::unique_ptr<SpanRow[]>& table : made) table = ZeroedBlock<SpanRow>(static_cast<size_t>(rows));
      }))
    return false;
  for (int i = 0; i < spanTableCount; ++i) {
    tables.rows[i] = std::move(made[i]);
    tables.written[i] = unknownRows;
  }
  tables.allocatedRows = rows;
  return true;
}

int32_t UsableRows(const SpanTables& tables, int32_t frameRows, int first, int last) {
  if (first < 0 || last >= spanTableCount || !SpanTablesExist(tables)) return 0;
  return std::max(0, std::min(frameRows, tables.allocatedRows));
}

void NoteWritten(SpanTables& tables, int first, int last, int32_t low, int32_t high) {
  for (int t = first; t <= last; ++t) {
    tables.written[t].low = std::min(tables.written[t].low, low);
    tables.written[t].high = std::max(tables.written[t].high, high);
  }
}

void RowsToVisit(const SpanTables& tables, int table, int32_t rows, int32_t& first, int32_t& last) {
  const WrittenRows& w = tables.written[table];
  first = w.everyRow ? 0 : std::max(w.low, 0);
  last = w.everyRow ? rows - 1 : std::min(w.high, rows - 1);
}

void ResetSpanTable(SpanTables& tables, int32_t frameRows, int table, int32_t rows, int32_t leftValue) {
  if (UsableRows(tables, frameRows, table, table) == 0) return;
  SpanRow* spans = tables.rows[table].get();
  const int32_t count = std::min(rows, tables.allocatedRows);
  WrittenRows& w = tables.written[table];
  if (!w.everyRow && leftValue == w.resetLeft) {
    // Every other row still holds this very reset value.
    FillRows(spans, std::max(w.low, 0), std::min(w.high, count - 1), leftValue);
    w.low = std::max(w.low, std::max(count, 0));                // rows past count keep what they hold
    if (w.low > w.high) w.low = INT32_MAX, w.high = INT32_MIN;  // none: the next walk's rows are all
    return;
  }
  FillRows(spans, 0, count - 1, leftValue);
  w = count == tables.allocatedRows ? WrittenRows{INT32_MAX, INT32_MIN, false, leftValue} : unknownRows;
}
