// span_tables.cpp - allocation, reset and the written-rows bookkeeping of
// the span tables.
//
// A face covers a few hundred of the frame's rows, so a reset and a fill
// that visit only the rows walked since the last reset save a pass over the
// whole table per face.
#include "core/raster/span_tables.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {
constexpr WrittenRows unknownRows = {INT32_MAX, INT32_MIN, true, 0};

// Rows first..last to (leftValue, -1); the bounds are read once, so that
// the compiler makes a plain block fill of it.
void FillRows(SpanRow* spans, int32_t first, int32_t last, int32_t leftValue) {
  const SpanRow empty = {leftValue, -1};
  for (int32_t y = first; y <= last; ++y) spans[y] = empty;
}

void FreeDrawnSpans(DrawnSpans& frame) {
  for (ChangeList& list : frame.drawn) FreeChangeList(list);
  FreeChangeList(frame.shaded);
  FreeChangeList(frame.changed);
  for (SpanRow*& table : frame.lastShadows) std::free(table), table = nullptr;
  std::free(frame.faces), frame.faces = nullptr;
}

void ForgetShadows(DrawnSpans& frame) {
  for (int k = 0; k < shadowTableCount; ++k) frame.shadowLow[k] = INT32_MAX, frame.shadowHigh[k] = INT32_MIN;
}

bool AllocateDrawnSpans(DrawnSpans& frame, int32_t rows) {
  frame = {};
  bool made = AllocateChangeList(frame.drawn[0], rows) && AllocateChangeList(frame.drawn[1], rows) &&
              AllocateChangeList(frame.shaded, rows) && AllocateChangeList(frame.changed, rows);
  for (SpanRow*& table : frame.lastShadows)
    made = made && (table = static_cast<SpanRow*>(std::calloc(static_cast<size_t>(rows), sizeof(SpanRow))));
  made = made && (frame.faces = static_cast<SpanRow*>(std::malloc(static_cast<size_t>(rows) * sizeof(SpanRow))));
  if (made) FillRows(frame.faces, 0, rows - 1, 0);
  frame.facesLow = INT32_MAX, frame.facesHigh = INT32_MIN;
  ForgetShadows(frame);
  return made;
}
}  // namespace

bool SpanTablesExist(const SpanTables& tables) {
  for (const SpanRow* table : tables.rows)
    if (table == nullptr) return false;
  return true;
}

bool AllocateSpanTables(SpanTables& tables, int32_t rows) {
  if (rows < 1 || static_cast<uint64_t>(rows) > SIZE_MAX / sizeof(SpanRow)) return false;
  if (SpanTablesExist(tables) && rows <= tables.allocatedRows)
    return true;  // made once; the frame size does not change
  SpanRow* made[spanTableCount] = {};
  for (SpanRow*& table : made) {
    // Zeroed, so that no row is ever read before it holds a defined value.
    table = static_cast<SpanRow*>(std::calloc(static_cast<size_t>(rows), sizeof(SpanRow)));
    if (table == nullptr) {
      for (SpanRow* done : made) std::free(done);
      return false;
    }
  }
  DrawnSpans frame;
  if (!AllocateDrawnSpans(frame, rows)) {
    for (SpanRow* done : made) std::free(done);
    FreeDrawnSpans(frame);
    return false;
  }
  FreeDrawnSpans(tables.frame);
  tables.frame = frame;
  for (int i = 0; i < spanTableCount; ++i) {
    std::free(tables.rows[i]);
    tables.rows[i] = made[i];
    tables.written[i] = unknownRows;
  }
  tables.allocatedRows = rows;
  return true;
}

void FreeSpanTables(SpanTables& tables) {
  FreeDrawnSpans(tables.frame);
  for (SpanRow* table : tables.rows) std::free(table);
  std::memset(&tables, 0, sizeof tables);
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
  SpanRow* spans = tables.rows[table];
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

const ChangeList* BeginDrawnSpans(SpanTables& tables, const uint8_t* pixels, const uint8_t* background, int32_t width,
                                  int32_t height, int32_t stride) {
  NoteFacesDrawn(tables);  // faces filled since the last frame belong to it
  DrawnSpans& f = tables.frame;
  if (f.changed.rows == nullptr) return nullptr;
  const bool sameFrame = f.pixels != nullptr && f.pixels == pixels && f.background == background && f.width == width &&
                         f.height == height && f.stride == stride;
  f.now ^= 1;
  const uint32_t frame = f.changed.frame + 1 == 0 ? 1 : f.changed.frame + 1;
  if (sameFrame) {
    ClearChangeList(f.changed);
    f.changed.frame = frame;
    ClearChangeList(f.drawn[f.now]);
    ClearChangeList(f.shaded);
    return &f.drawn[f.now ^ 1];
  }
  // Whatever the lists held described another frame: every row is emptied.
  for (ChangeList& list : f.drawn) ClearChangeList(list, true);
  ClearChangeList(f.shaded, true);
  ClearChangeList(f.changed, true);
  f.changed.everything = true;
  f.changed.frame = frame;
  ForgetShadows(f);
  f.pixels = pixels, f.background = background;
  f.width = width, f.height = height, f.stride = stride;
  return nullptr;
}

void NoteFacesDrawn(SpanTables& tables) {
  DrawnSpans& f = tables.frame;
  if (f.faces == nullptr || f.facesHigh < f.facesLow) return;
  ChangeList& drawn = f.drawn[f.now];
  for (int32_t y = f.facesLow; y <= f.facesHigh; ++y) {
    SpanRow& covered = f.faces[y];
    if (covered.left <= covered.right) AddChange(drawn, y, covered.left, covered.right + 1);
    covered = {0, -1};
  }
  f.facesLow = INT32_MAX, f.facesHigh = INT32_MIN;
}

void EndDrawnSpans(SpanTables& tables) {
  NoteFacesDrawn(tables);
  DrawnSpans& f = tables.frame;
  if (f.changed.rows == nullptr || f.changed.everything) return;  // a frame composed whole
  for (const ChangeList* part : {&f.drawn[0], &f.drawn[1], &f.shaded}) AddChanges(f.changed, *part);
}

void ForgetDrawnSpans(SpanTables& tables) { tables.frame.pixels = nullptr; }
