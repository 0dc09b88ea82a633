// change_list.h - what a frame changed: rows, each with a few column ranges.
//
// The renderer notes every span it draws; a frame's change list is what the
// last frame drew together with what this one drew, since only those pixels
// can differ between the two. The background is put back over the last
// frame's spans, and a shell converts and sends only the changed ones.
//
// A row holds at most rangesPerRow ranges, sorted and apart; a range that
// would be one too many is joined with its nearest neighbour, so a list may
// cover more than was drawn, never less. Rows are frame rows, row 0 at the
// bottom. The rows are allocated once; nothing is allocated per frame. A
// list releases its rows when it goes; it moves (leaving an empty list) and
// is never copied.
//
//   ChangeList list;
//   if (AllocateChangeList(list, height)) ...
//   AddChange(list, row, left, end);       // columns [left, end)
//   ClearChangeList(list);
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

struct ColumnRange {
  int32_t left, end;  // columns [left, end)
};

constexpr int rangesPerRow = 4;
// Ranges this close on a row are joined: copying or converting a few more
// pixels costs less than another range to walk.
constexpr int32_t rangeJoinGap = 16;

struct ChangeRow {
  int32_t count;
  ColumnRange ranges[rangesPerRow];
};

// Columns left..right of a row, both included; right < left: none. The
// span tables and the drawn-spans record keep one a row.
struct SpanRow {
  int32_t left, right;
};

struct ChangeList {
  std::unique_ptr<ChangeRow[]> rows;  // `height` rows
  int32_t height = 0;
  int32_t low = INT32_MAX, high = INT32_MIN;  // the rows that may hold ranges; low > high: none
  bool everything = false;                    // the whole frame changed, whatever the rows say
  // The number of the frame whose changes from the frame before it are
  // listed, counting from 1 and skipping 0 when it wraps; 0 for a list made
  // by hand, which a reader takes as it is.
  uint32_t frame = 0;

  ChangeList() = default;
  ChangeList(ChangeList&& other) noexcept { *this = std::move(other); }
  ChangeList& operator=(ChangeList&& other) noexcept {
    rows = std::move(other.rows);
    height = std::exchange(other.height, 0);
    low = std::exchange(other.low, INT32_MAX), high = std::exchange(other.high, INT32_MIN);
    everything = std::exchange(other.everything, false);
    frame = std::exchange(other.frame, 0u);
    return *this;
  }
};

// Rows for frames of `rows` rows, all empty; false, leaving the list
// empty, when `rows` is not positive or memory runs out.
bool AllocateChangeList(ChangeList& list, int32_t rows);
// Empties the rows that may hold ranges, or every row when `everyRow`.
void ClearChangeList(ChangeList& list, bool everyRow = false);
// Adds columns [left, end) of a row; an empty range or a row outside the
// list is left out. The caller clips the columns to the frame.
void AddChangeToRow(ChangeList& list, int32_t row, int32_t left, int32_t end);
inline void AddChange(ChangeList& list, int32_t row, int32_t left, int32_t end) {
  // Most often the new range widens one the row holds without reaching its
  // neighbours, or the row is empty.
  if (row >= 0 && row < list.height && left < end && row >= list.low && row <= list.high) {
    ChangeRow& r = list.rows[row];
    for (int k = 0; k < r.count; ++k) {
      ColumnRange& reached = r.ranges[k];
      if (left > reached.end + rangeJoinGap || end < reached.left - rangeJoinGap) continue;
      const int32_t wideLeft = left < reached.left ? left : reached.left;
      const int32_t wideEnd = end > reached.end ? end : reached.end;
      if ((k > 0 && wideLeft <= r.ranges[k - 1].end + rangeJoinGap) ||
          (k + 1 < r.count && wideEnd >= r.ranges[k + 1].left - rangeJoinGap))
        break;  // it joins a neighbour too
      reached = {wideLeft, wideEnd};
      return;
    }
  }
  AddChangeToRow(list, row, left, end);
}

// Adds every range of `more` (a list of its own) to `into`.
void AddChanges(ChangeList& into, const ChangeList& more);
