// The Windows builds draw exactly what the native build draws: the golden
// frames from the pictures linked into this program, and the real program's
// full-screen window, pixel for pixel, against the portable renderer.
#include <gtest/gtest.h>

#include "image/resource_win32.h"
#include "resources/resource_ids.h"
#include "scene/golden_frames.h"
#include "support/harness.h"

namespace {

SceneInitResult SetUpLinkedScene(int32_t width, int32_t height, int32_t staticColours) {
  ResetSceneState();
  SetDefaultSettings();
  fixedSceneTick = 0;
  SoftwarePalette palette{};
  palette.display = staticColours == 20 ? StandardStaticDisplay() : TrueColourDisplay();
  HINSTANCE self = GetModuleHandleA(nullptr);
  return InitialiseSceneCore(width, height, LoadBitmapResourceBytes(self, IDB_FLOOR),
                             LoadBitmapResourceBytes(self, IDB_FACE_PATTERN), SoftwarePaletteBackend(palette));
}

TEST(SceneFrames, GoldenFramesMatchTheNativeBuild) {
  const std::map<std::string, std::string> sums = golden::ReadGolden();
  ASSERT_EQ(sums.size(), std::size(golden::goldenCases)) << golden::goldenFile;
  for (const golden::GoldenCase& c : golden::goldenCases) {
    ASSERT_EQ(SetUpLinkedScene(c.width, c.height, c.staticColours), SceneInitResult::ok) << c.name;
    c.settings(SceneSettings);
    fixedSceneTick = c.tick;
    DrawSceneFrame();
    EXPECT_EQ(golden::FrameChecksum(), sums.at(c.name)) << c.name;
  }
  ResetSceneState();
}

// A posed scene that stands still: every clock stopped at a pose of its own.
SettingsRecord FrozenPose() {
  SettingsRecord record{};
  SetDefaultSettings(record);
  record.pyramidTurn = record.pyramidJourney = record.dodecaTurn = record.dodecaJourney = 0;
  record.pyramidTurnTick = 13000;
  record.pyramidJourneyTick = 21000;
  record.dodecaTurnTick = 7000;
  record.dodecaJourneyTick = 30000;
  record.showGrid = 1;
  return record;
}

std::vector<uint8_t> ExpectedScreen(const SettingsRecord& record, int width, int height) {
  EXPECT_EQ(SetUpLinkedScene(width, height, 0), SceneInitResult::ok);
  SceneSettings = record;
  DrawSceneFrame();
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      // Frame row 0 is the bottom of the screen.
      const PaletteEntry& e = scene.palette.entries[scene.framePixels[(height - 1 - y) * scene.frameStride + x]];
      uint8_t* out = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      out[0] = e.red, out[1] = e.green, out[2] = e.blue;
    }
  }
  ResetSceneState();
  return rgb;
}

size_t Mismatches(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size()) return a.size() + b.size();
  size_t count = 0;
  for (size_t i = 0; i < a.size(); i += 3) count += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
  return count;
}

TEST(SceneFrames, FullScreenSaverShowsThePortableFramePixelForPixel) {
  const SettingsRecord record = FrozenPose();
  std::vector<uint8_t> stored(settingsRecordSize);
  SettingsToBytes(record, stored.data());
  WriteSettingsValue(stored, REG_BINARY);

  ProgramRun run = StartProgram("/s");
  ASSERT_TRUE(run.started);
  HWND saver = WaitForProcessWindow(run.process.dwProcessId, "WindowsScreenSaverClass", "Screen Saver");
  ASSERT_NE(saver, nullptr);
  RECT client;
  GetClientRect(saver, &client);
  const std::vector<uint8_t> expected = ExpectedScreen(record, client.right, client.bottom);

  std::vector<uint8_t> shown;
  size_t mismatches = 0;
  WaitUntil([&] {
    int width = 0, height = 0;
    shown = CaptureClient(saver, width, height);
    mismatches = Mismatches(shown, expected);
    return mismatches == 0;
  });
  EXPECT_EQ(mismatches, 0u) << "of " << expected.size() / 3 << " pixels at " << client.right << "x"
                            << client.bottom;

  PostMessageA(saver, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(WaitForExit(run), 0u);
  DeleteSettingsKey();
}

}  // namespace
