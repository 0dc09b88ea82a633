// Records of extreme values and clocks at their limits, drawn over the
// committed pictures: frames stay inside their buffer, leave the fill bytes
// after each row alone, and the motion carries on across the tick count's
// wrap. Under the sanitizer build the same frames also prove that no
// arithmetic on the way is undefined.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "committed_scene.h"
#include "core/scene/settings_record.h"

namespace {

constexpr int32_t extremes[] = {INT32_MIN, -1, 0, 1, INT32_MAX};

// Every field at each extreme alone, and all fields at once, with the
// overlays as the record says and once more switched on, at two ticks; on
// tiny frames, frames whose width is not a multiple of 4 and a preview-sized
// one.
TEST(StressTest, ExtremeFieldsStayInsideTheFrame) {
  const std::pair<int32_t, int32_t> sizes[] = {{1, 1}, {2, 3}, {7, 5}, {152, 112}, {301, 203}};
  for (const auto& size : sizes) {
    TestScene t;
    ASSERT_EQ(t.Make(size.first, size.second), SceneInitResult::ok);
    GuardedFrame frame(t);
    for (int32_t value : extremes) {
      for (size_t f = 0; f <= settingsFieldCount; ++f) {  // f == count: all fields at once
        for (int overlays = 0; overlays <= 1; ++overlays) {
          for (uint32_t tick : {static_cast<uint32_t>(value), 0x80000000u + 4321u}) {
            SettingsRecord settings = DefaultSettings();
            for (size_t g = 0; g < settingsFieldCount; ++g)
              if (g == f || f == settingsFieldCount) settings.*settingsFields[g].member = value;
            if (overlays) settings.showGrid = settings.showPalette = 1;
            DrawSceneFrame(t.scene, settings, tick);
            const char* field = f < settingsFieldCount ? settingsFields[f].name : "every field";
            SCOPED_TRACE(testing::Message()
                         << size.first << " x " << size.second << ", " << field << " = " << value << ", tick " << tick);
            ASSERT_TRUE(frame.GuardsIntact());
            ASSERT_EQ(frame.RowsWithTouchedFill(), 0);
          }
        }
      }
    }
  }
}

// Across the wrap from 2^32 - 1 to 0 the clocks' differences go from -1 to
// 0, so the solids move on by a millisecond's worth, not by a jump.
TEST(StressTest, MotionIsContinuousAcrossTheTickCountsWrap) {
  TestScene t;
  ASSERT_EQ(t.Make(1024, 768), SceneInitResult::ok);
  const Scene& scene = t.scene;
  auto poseAt = [&t, &scene](uint32_t tick) {
    DrawSceneFrame(t.scene, DefaultSettings(), tick);
    std::vector<WorldPoint> pose(scene.pyramidVertices, scene.pyramidVertices + 5);
    for (const auto& solid : scene.dodecaVertices) pose.insert(pose.end(), solid, solid + 20);
    return pose;
  };
  for (uint32_t tick = 0xfffffffdu; tick != 3u; ++tick) {
    const std::vector<WorldPoint> before = poseAt(tick);
    const std::vector<WorldPoint> after = poseAt(tick + 1);
    for (size_t i = 0; i < before.size(); ++i) {
      EXPECT_LE(std::abs(after[i].x - before[i].x), 1) << "vertex " << i << " at tick " << tick;
      EXPECT_EQ(after[i].y, before[i].y) << "vertex " << i << " at tick " << tick;
      EXPECT_LE(std::abs(after[i].z - before[i].z), 1) << "vertex " << i << " at tick " << tick;
    }
  }
}

}  // namespace
