// cover_geometry.cpp - the places of the cover windows.
#include "win32/portable/cover_geometry.h"

#include <cstddef>

namespace {

bool SameRect(const ScreenRect& a, const ScreenRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// right - left in 64 bits: any two 32-bit coordinates, no overflow.
int64_t Span(int32_t from, int32_t to) { return static_cast<int64_t>(to) - static_cast<int64_t>(from); }

bool FitsAWindow(const ScreenRect& r) {
  const int64_t width = Span(r.left, r.right), height = Span(r.top, r.bottom);
  return width > 0 && height > 0 && width <= INT32_MAX && height <= INT32_MAX;
}

}  // namespace

std::vector<CoverPlace> CoverPlaces(const std::vector<ScreenRect>& monitors, const ScreenRect& scene) {
  std::vector<CoverPlace> places;
  for (size_t i = 0; i < monitors.size(); ++i) {
    const ScreenRect& r = monitors[i];
    if (SameRect(r, scene) || !FitsAWindow(r)) continue;
    bool listedBefore = false;
    for (size_t j = 0; j < i; ++j) listedBefore = listedBefore || SameRect(monitors[j], r);
    if (listedBefore) continue;
    places.push_back(
        {r.left, r.top, static_cast<int32_t>(Span(r.left, r.right)), static_cast<int32_t>(Span(r.top, r.bottom))});
  }
  return places;
}

bool SamePlace(const CoverPlace& a, const CoverPlace& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

std::vector<int32_t> KeptCovers(const std::vector<CoverPlace>& current, const std::vector<CoverPlace>& wanted) {
  std::vector<int32_t> kept(current.size(), -1);
  std::vector<bool> taken(wanted.size(), false);
  for (size_t i = 0; i < current.size(); ++i)
    for (size_t j = 0; j < wanted.size() && kept[i] < 0; ++j)
      if (!taken[j] && SamePlace(current[i], wanted[j])) kept[i] = static_cast<int32_t>(j), taken[j] = true;
  size_t next = 0;
  for (size_t i = 0; i < current.size(); ++i) {
    if (kept[i] >= 0) continue;
    while (next < wanted.size() && taken[next]) ++next;
    if (next == wanted.size()) break;
    kept[i] = static_cast<int32_t>(next);
    taken[next] = true;
  }
  return kept;
}
