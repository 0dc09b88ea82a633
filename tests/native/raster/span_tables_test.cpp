// The span tables' guards, which the drawing code never trips: no rows, no
// tables yet, a table number out of range. Each refuses without touching a
// table. And the rows a fill visits: after a reset, only those walked since.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "core/raster/span_tables.h"

namespace {

TEST(SpanTables, RefuseWhatTheyCannotHoldAndTouchNothing) {
  SpanTables tables{};
  EXPECT_EQ(UsableRows(tables, 10, 0, 0), 0) << "no tables made yet";
  EXPECT_FALSE(AllocateSpanTables(tables, 0));
  EXPECT_FALSE(AllocateSpanTables(tables, -5));
  EXPECT_FALSE(SpanTablesExist(tables));

  ASSERT_TRUE(AllocateSpanTables(tables, 8));
  EXPECT_TRUE(AllocateSpanTables(tables, 6));  // fewer rows: the tables made stay
  EXPECT_EQ(tables.allocatedRows, 8);
  ASSERT_TRUE(AllocateSpanTables(tables, 12));  // more: made again
  EXPECT_EQ(tables.allocatedRows, 12);
  EXPECT_EQ(UsableRows(tables, 10, 0, spanTableCount - 1), 10);
  EXPECT_EQ(UsableRows(tables, 20, 0, 0), 12);
  EXPECT_EQ(UsableRows(tables, 10, -1, 0), 0);
  EXPECT_EQ(UsableRows(tables, 10, 0, spanTableCount), 0);

  for (auto& table : tables.rows) std::memset(table.get(), 0x5a, 12 * sizeof(SpanRow));
  const WrittenRows before = tables.written[0];
  for (int table : {-1, spanTableCount}) ResetSpanTable(tables, 12, table, 12, 99);
  for (auto& table : tables.rows)
    for (int32_t y = 0; y < 12; ++y) EXPECT_EQ(table[y].left, 0x5a5a5a5a) << y;
  EXPECT_EQ(std::memcmp(&tables.written[0], &before, sizeof before), 0);
  const SpanTables moved = std::move(tables);  // the rows go along, none left behind
  EXPECT_TRUE(SpanTablesExist(moved));
  EXPECT_FALSE(SpanTablesExist(tables));
  EXPECT_EQ(UsableRows(tables, 10, 0, 0), 0);
}

// A fill visits the rows walked since the last reset, not every row up to
// the highest one ever walked; a reset that reaches only some rows keeps
// the others noted.
TEST(SpanTables, AResetLeavesOnlyTheRowsWalkedAfterItToVisit) {
  SpanTables tables{};
  ASSERT_EQ(AllocateSpanTables(tables, 100), 1);
  int32_t first = 0, last = 0;
  ResetSpanTable(tables, 100, faceTable, 100, 7);  // the first reset reaches every row
  NoteWritten(tables, faceTable, faceTable, 60, 90);
  ResetSpanTable(tables, 100, faceTable, 100, 7);
  NoteWritten(tables, faceTable, faceTable, 10, 20);
  RowsToVisit(tables, faceTable, 100, first, last);
  EXPECT_EQ(std::make_pair(first, last), std::make_pair(10, 20)) << "rows 60..90 were reset and hold nothing";
  for (int32_t y = 0; y < 100; ++y) EXPECT_EQ(tables.rows[faceTable][y].left, 7) << y;

  NoteWritten(tables, faceTable, faceTable, 70, 80);
  ResetSpanTable(tables, 100, faceTable, 50, 7);  // rows 50.. are not reset: 70..80 still hold spans
  RowsToVisit(tables, faceTable, 100, first, last);
  EXPECT_EQ(std::make_pair(first, last), std::make_pair(50, 80));
}

}  // namespace
