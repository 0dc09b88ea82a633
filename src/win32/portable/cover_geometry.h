// cover_geometry.h - which monitors the full-screen saver covers with a black
// window, without Windows (unit-tested natively).
//
// The scene window covers the primary monitor (SM_CXSCREEN x SM_CYSCREEN at
// 0,0). Every other monitor gets a cover window of its own rectangle. The
// host reads the monitors at start and again whenever the layout may have
// changed; KeptCovers says which of the windows it has can stay as they are.
#pragma once

#include <cstdint>
#include <vector>

// A rectangle as the system gives it: right and bottom lie just outside.
struct ScreenRect {
  int32_t left, top, right, bottom;
};

// Where a cover window goes: its position and a size of at least 1 x 1.
struct CoverPlace {
  int32_t x, y, width, height;
};

// One place per monitor, in the order given, except a monitor whose
// rectangle is the scene window's (it is covered already, whichever monitor
// that is: a clone of the primary shows the same picture), an empty or
// inverted rectangle, one whose width or height does not fit in 32 bits, and
// a rectangle listed before (one cover is enough).
std::vector<CoverPlace> CoverPlaces(const std::vector<ScreenRect>& monitors, const ScreenRect& scene);

bool SamePlace(const CoverPlace& a, const CoverPlace& b);

// For each place in current (the windows there now), the index of the
// wanted place that window takes, or -1 when the window must go. A window
// keeps its own place where that is still wanted; the windows left over take
// the wanted places left over, in order (moved and resized rather than
// replaced); the wanted places no window took need new windows.
std::vector<int32_t> KeptCovers(const std::vector<CoverPlace>& current, const std::vector<CoverPlace>& wanted);
