// span_tables.h - per-row span tables and their upkeep.
//
// Eleven tables of frame rows each: faceTable..faceRowTable for the face
// being drawn (columns, mask u, mask v), firstShadowTable..lastShadowTable
// for the shadows, two per solid (one per light). An edge walk
// (edge_walk.h) widens each row's (left, right) to the columns the edge
// reaches; a fill (textured_fill.h, shadows.h) then draws every non-empty
// row. The tables note which rows were walked since their last reset, so a
// reset and a fill visit only those.
//
// The tables own their rows, release them when they go, move and are
// never copied.
//
//   SpanTables tables;
//   if (!AllocateSpanTables(tables, frameHeight)) ...
//   ResetSpanTable(tables, frameHeight, faceTable, frameHeight, frameWidth);
//   // walk edges (edge_walk.h), then fill (textured_fill.h, shadows.h)
#pragma once

#include <cstdint>
#include <memory>

#include "core/image/change_list.h"

constexpr int spanTableCount = 11;
constexpr int faceTable = 0;        // column span of the face being drawn
constexpr int faceColumnTable = 1;  // mask column (u) at both ends
constexpr int faceRowTable = 2;     // mask storage row (v) at both ends
constexpr int firstShadowTable = 3;
constexpr int lastShadowTable = 10;

// The shadow table of solid (0 the pyramid, 1..3 the dodecahedrons) under
// light (0 or 1).
constexpr int ShadowTableOf(int solid, int light) { return firstShadowTable + 2 * solid + light; }
inline bool IsShadowTable(int table) { return table >= firstShadowTable && table <= lastShadowTable; }

// Rows of a table that may hold a span: those walked since its last reset
// (low > high when none). everyRow means any row may hold anything: after
// allocation, or after a reset that did not reach every allocated row or
// used another left value.
struct WrittenRows {
  int32_t low, high;
  bool everyRow;
  int32_t resetLeft;  // the left value of the last reset that reached every row
};

constexpr int shadowTableCount = lastShadowTable - firstShadowTable + 1;

struct SpanTables {
  std::unique_ptr<SpanRow[]> rows[spanTableCount];  // all null until allocated
  int32_t allocatedRows = 0;
  WrittenRows written[spanTableCount] = {};
};

// Allocates the eleven tables with rows entries each (once: a second call
// with no more rows keeps them); false, keeping what the tables held, when
// `rows` is not positive or memory runs out.
bool AllocateSpanTables(SpanTables& tables, int32_t rows);
bool SpanTablesExist(const SpanTables& tables);

// Sets rows 0..rows-1 (within the frame's frameRows) to (leftValue, -1).
// Rows are written only by the edge walks, which note what they write.
void ResetSpanTable(SpanTables& tables, int32_t frameRows, int table, int32_t rows, int32_t leftValue);

// Rows of tables first..last that a walk or fill may visit: the frame's
// rows, never more than were allocated; 0 when a table does not exist.
int32_t UsableRows(const SpanTables& tables, int32_t frameRows, int first, int last);
// Tables first..last may hold spans on rows low..high from now on.
void NoteWritten(SpanTables& tables, int first, int last, int32_t low, int32_t high);
// The rows of a table a fill must visit, within its usable rows.
void RowsToVisit(const SpanTables& tables, int table, int32_t rows, int32_t& first, int32_t& last);
