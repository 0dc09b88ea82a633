// Which monitors get a cover window: every one but the scene window's own,
// each rectangle once, none that cannot be a window.
#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

#include "win32/portable/cover_geometry.h"

// Global, where std::vector's comparison finds it.
static bool operator==(const CoverPlace& a, const CoverPlace& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

namespace {

TEST(CoverPlaces, EveryMonitorButTheScenesOwnOnceEachWhenItCanBeAWindow) {
  const ScreenRect scene = {0, 0, 1920, 1080};
  const std::tuple<const char*, std::vector<ScreenRect>, std::vector<CoverPlace>> cases[] = {
      {"one monitor: no cover", {{0, 0, 1920, 1080}}, {}},
      {"none listed", {}, {}},
      {"right of the primary", {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}}, {{1920, 0, 1280, 1024}}},
      {"left of and above the primary, in the order listed",
       {{-1280, -200, 0, 824}, {0, 0, 1920, 1080}, {0, -1080, 1920, 0}},
       {{-1280, -200, 1280, 1024}, {0, -1080, 1920, 1080}}},
      {"both at 0,0, the second smaller", {{0, 0, 1920, 1080}, {0, 0, 800, 600}}, {{0, 0, 800, 600}}},
      {"a clone of the primary", {{0, 0, 1920, 1080}, {0, 0, 1920, 1080}}, {}},
      {"the same rectangle twice",
       {{1920, 0, 3840, 1080}, {0, 0, 1920, 1080}, {1920, 0, 3840, 1080}},
       {{1920, 0, 1920, 1080}}},
      {"empty and inverted", {{5000, 0, 5000, 600}, {0, 600, 800, 0}, {10, 10, 11, 11}}, {{10, 10, 1, 1}}},
      {"wider and taller than 32 bits allow",
       {{INT32_MIN, 0, INT32_MAX, 10},
        {0, INT32_MIN, 10, 1},
        {-1, 0, INT32_MAX, 1},
        {0, 0, INT32_MAX, 1},
        {INT32_MIN, 0, -1, 1}},
       {{0, 0, INT32_MAX, 1}, {INT32_MIN, 0, INT32_MAX, 1}}},
  };
  for (const auto& [name, monitors, expected] : cases) {
    const std::vector<CoverPlace> places = CoverPlaces(monitors, scene);
    EXPECT_TRUE(places == expected) << name << ": " << places.size() << " places";
  }
}

// Which window goes where after a change: a window whose monitor is still
// there keeps it, whatever the order; the others move to the monitors that
// changed or came, in order; only windows left over go (-1).
TEST(KeptCovers, UnchangedPlacesStayTheRestMoveAndLeftOversGo) {
  const CoverPlace a = {1920, 0, 1280, 1024}, b = {-800, 0, 800, 600}, c = {0, 1080, 640, 480};
  const CoverPlace grownA = {1920, 0, 1920, 1080};
  // name, the current places, the wanted ones, where each current window goes
  const std::tuple<const char*, std::vector<CoverPlace>, std::vector<CoverPlace>, std::vector<int32_t>> plans[] = {
      {"nothing changed", {a, b}, {a, b}, {0, 1}},
      {"listed in another order", {a, b}, {b, a}, {1, 0}},
      {"one came", {a}, {b, a}, {1}},
      {"one went", {a, b, c}, {a, c}, {0, -1, 1}},
      {"one grew, the other stays", {a, b}, {b, grownA}, {1, 0}},
      {"all went", {a, b}, {}, {-1, -1}},
      {"two windows on one place before", {a, a}, {a}, {0, -1}},
      {"the first window moves, the second stays", {c, a}, {a, grownA}, {1, 0}},
  };
  for (const auto& [name, current, wanted, expected] : plans) EXPECT_EQ(KeptCovers(current, wanted), expected) << name;
}

}  // namespace
