// change_list.cpp - adding ranges to a row, keeping them sorted and apart.
#include "core/image/change_list.h"

#include <algorithm>

#include "core/common/ownership.h"

namespace {

// Joins a new range into a full row: of the rangesPerRow + 1 ranges, the
// two neighbours with the smallest gap become one.
void JoinIntoFullRow(ChangeRow& row, int at, ColumnRange added) {
  ColumnRange all[rangesPerRow + 1];
  std::copy(row.ranges, row.ranges + at, all);
  all[at] = added;
  std::copy(row.ranges + at, row.ranges + rangesPerRow, all + at + 1);
  int nearest = 0;
  for (int i = 1; i < rangesPerRow; ++i)
    if (all[i + 1].left - all[i].end < all[nearest + 1].left - all[nearest].end) nearest = i;
  all[nearest].end = all[nearest + 1].end;
  std::copy(all, all + nearest + 1, row.ranges);
  std::copy(all + nearest + 2, all + rangesPerRow + 1, row.ranges + nearest + 1);
}

}  // namespace

bool AllocateChangeList(ChangeList& list, int32_t rows) {
  list = {};
  if (rows < 1 || !Allocated([&] { list.rows = ZeroedBlock<ChangeRow>(static_cast<size_t>(rows)); })) return false;
  list.height = rows;
  return true;
}

void ClearChangeList(ChangeList& list, bool everyRow) {
  const int32_t first = everyRow ? 0 : std::max(list.low, 0);
  const int32_t last = everyRow ? list.height - 1 : std::min(list.high, list.height - 1);
  for (int32_t y = first; y <= last; ++y) list.rows[y].count = 0;
  list.low = INT32_MAX, list.high = INT32_MIN;
  list.everything = false;
}

void AddChangeToRow(ChangeList& list, int32_t row, int32_t left, int32_t end) {
  if (row < 0 || row >= list.height || left >= end) return;
  list.low = std::min(list.low, row), list.high = std::max(list.high, row);
  ChangeRow& r = list.rows[row];
  int i = 0;
  while (i < r.count && r.ranges[i].end + rangeJoinGap < left) ++i;  // wholly before, and apart
  int j = i;
  for (; j < r.count && r.ranges[j].left <= end + rangeJoinGap; ++j)  // near enough to join
    left = std::min(left, r.ranges[j].left), end = std::max(end, r.ranges[j].end);
  if (j > i) {  // ranges i..j-1 become one
    r.ranges[i] = {left, end};
    std::copy(r.ranges + j, r.ranges + r.count, r.ranges + i + 1);
    r.count -= j - i - 1;
    return;
  }
  if (r.count == rangesPerRow) return JoinIntoFullRow(r, i, {left, end});
  std::copy_backward(r.ranges + i, r.ranges + r.count, r.ranges + r.count + 1);
  r.ranges[i] = {left, end};
  ++r.count;
}

void AddChanges(ChangeList& into, const ChangeList& more) {
  into.everything = into.everything || more.everything;
  if (into.everything) return;
  for (int32_t y = std::max(more.low, 0); y <= std::min(more.high, into.height - 1); ++y) {
    const ChangeRow& row = more.rows[y];
    if (row.count == 0) continue;
    if (into.rows[y].count == 0) {  // most often: taken whole
      into.rows[y] = row;
      into.low = std::min(into.low, y), into.high = std::max(into.high, y);
      continue;
    }
    for (int k = 0; k < row.count; ++k) AddChange(into, y, row.ranges[k].left, row.ranges[k].end);
  }
}
