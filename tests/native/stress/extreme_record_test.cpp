// Records of extreme values and clocks at their limits, drawn over the
// committed pictures: frames stay inside their buffer, leave the fill bytes
// after each row alone, and the motion carries on across the tick count's
// wrap. Under the sanitizer build the same frames also prove that no
// arithmetic on the way is undefined.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/scene/settings_record.h"
#include "scene/test_scene.h"

namespace {

// The frame drawn into a buffer with guardBytes of guardValue before and
// after it; the scene's own buffer is put back on destruction.
struct GuardedFrame {
  static constexpr size_t guardBytes = 4096;
  static constexpr uint8_t guardValue = 0x5A;
  Scene& scene;
  std::vector<uint8_t> buffer;
  uint8_t* ownPixels;

  explicit GuardedFrame(TestScene& t)
      : scene(t.scene), buffer(t.FrameByteCount() + 2 * guardBytes, guardValue), ownPixels(t.scene.framePixels) {
    scene.framePixels = buffer.data() + guardBytes;
  }
  ~GuardedFrame() { scene.framePixels = ownPixels; }

  bool GuardsIntact() const {
    for (size_t i = 0; i < guardBytes; ++i)
      if (buffer[i] != guardValue || buffer[buffer.size() - 1 - i] != guardValue) return false;
    return true;
  }
  // Rows whose fill bytes (after the last pixel) differ from the
  // background's: only the background copy may write there.
  int RowsWithTouchedFill() const {
    const uint8_t* background = ImagePixels(scene.backgroundImage);
    const size_t fill = static_cast<size_t>(scene.frameStride - scene.frameWidth);
    int touched = 0;
    for (int32_t r = 0; fill > 0 && r < scene.frameHeight; ++r) {
      const size_t end = static_cast<size_t>(r) * scene.frameStride + scene.frameWidth;
      touched += std::memcmp(scene.framePixels + end, background + end, fill) != 0;
    }
    return touched;
  }
};

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
    for (int32_t value : {INT32_MIN, -1, 0, 1, INT32_MAX}) {
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
  auto poseAt = [&t](uint32_t tick) {
    DrawSceneFrame(t.scene, DefaultSettings(), tick);
    std::vector<WorldPoint> pose(t.scene.pyramidVertices, t.scene.pyramidVertices + 5);
    for (const auto& solid : t.scene.dodecaVertices) pose.insert(pose.end(), solid, solid + 20);
    return pose;
  };
  for (uint32_t tick = 0xfffffffdu; tick != 3u; ++tick) {
    const std::vector<WorldPoint> before = poseAt(tick), after = poseAt(tick + 1);
    for (size_t i = 0; i < before.size(); ++i)
      EXPECT_TRUE(std::abs(after[i].x - before[i].x) <= 1 && after[i].y == before[i].y &&
                  std::abs(after[i].z - before[i].z) <= 1)
          << "vertex " << i << " at tick " << tick << ": " << before[i].x << ", " << before[i].y << ", " << before[i].z
          << " to " << after[i].x << ", " << after[i].y << ", " << after[i].z;
  }
}

}  // namespace
