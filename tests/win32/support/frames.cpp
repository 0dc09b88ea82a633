#include "support/frames.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "image/resource_win32.h"
#include "resources/resource_ids.h"

SceneInitResult MakeLinkedScene(TestScene& t, int32_t width, int32_t height, int32_t staticColours) {
  SoftwarePalette palette{};
  palette.display = staticColours == 20 ? StandardStaticDisplay() : TrueColourDisplay();
  HINSTANCE self = GetModuleHandleA(nullptr);
  return MakeScene(t.scene, width, height, LoadBitmapResourceBytes(self, IDB_FLOOR),
                   LoadBitmapResourceBytes(self, IDB_FACE_PATTERN), SoftwarePaletteBackend(palette));
}

SettingsRecord FrozenPose() {
  SettingsRecord record = DefaultSettings();
  record.pyramidTurn = record.pyramidJourney = record.dodecaTurn = record.dodecaJourney = 0;
  record.pyramidTurnTick = 13000;
  record.pyramidJourneyTick = 21000;
  record.dodecaTurnTick = 7000;
  record.dodecaJourneyTick = 30000;
  record.showGrid = 1;
  return record;
}

std::vector<uint8_t> ExpectedScreen(const SettingsRecord& record, int width, int height, uint32_t tick) {
  TestScene t;
  EXPECT_EQ(MakeLinkedScene(t, width, height, 0), SceneInitResult::ok);
  DrawSceneFrame(t.scene, record, tick);
  const Scene& scene = t.scene;
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      // Frame row 0 is the bottom of the screen.
      const PaletteEntry& e = scene.palette.entries[scene.framePixels[(height - 1 - y) * scene.frameStride + x]];
      uint8_t* out = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      out[0] = e.red, out[1] = e.green, out[2] = e.blue;
    }
  }
  return rgb;
}

size_t Mismatches(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size()) return a.size() + b.size();
  size_t count = 0;
  for (size_t i = 0; i < a.size(); i += 3) count += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
  return count;
}
