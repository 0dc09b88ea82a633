// The Windows builds draw exactly what the native build draws: the golden
// frames from the pictures linked into this program, and the real program's
// full-screen window, pixel for pixel, against the portable renderer.
#include <gtest/gtest.h>

#include "image/resource_win32.h"
#include "resources/resource_ids.h"
#include "scene/golden_frames.h"
#include "session/scene_window_win32.h"
#include "support/harness.h"

namespace {

// A scene from the pictures linked into this program.
SceneInitResult MakeLinkedScene(TestScene& t, int32_t width, int32_t height, int32_t staticColours) {
  SoftwarePalette palette{};
  palette.display = staticColours == 20 ? StandardStaticDisplay() : TrueColourDisplay();
  HINSTANCE self = GetModuleHandleA(nullptr);
  return MakeScene(t.scene, width, height, LoadBitmapResourceBytes(self, IDB_FLOOR),
                   LoadBitmapResourceBytes(self, IDB_FACE_PATTERN), SoftwarePaletteBackend(palette));
}

TEST(SceneFrames, GoldenFramesMatchTheNativeBuild) {
  const std::map<std::string, std::string> sums = golden::ReadGolden();
  ASSERT_EQ(sums.size(), std::size(golden::goldenCases)) << golden::goldenFile;
  for (const golden::GoldenCase& c : golden::goldenCases) {
    TestScene t;
    ASSERT_EQ(MakeLinkedScene(t, c.width, c.height, c.staticColours), SceneInitResult::ok) << c.name;
    DrawSceneFrame(t.scene, golden::SettingsOf(c), c.tick);
    EXPECT_EQ(golden::FrameChecksum(t), sums.at(c.name)) << c.name;
  }
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

std::vector<uint8_t> ExpectedScreen(const SettingsRecord& record, int width, int height, uint32_t tick = 0) {
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

// A moving scene in a window of this process: each frame the timer puts up
// only the bands that changed, so after a few frames the window must show
// the last of them exactly, with nothing left over from the ones before.
TEST(SceneFrames, MovingSceneWindowShowsItsLatestFrameExactly) {
  SettingsRecord record{};
  SetDefaultSettings(record);
  record.showGrid = 1;
  std::vector<uint8_t> stored(settingsRecordSize);
  SettingsToBytes(record, stored.data());
  WriteSettingsValue(stored, REG_BINARY);
  constexpr int width = 640, height = 480;
  constexpr uint32_t lastTick = 5300;
  const std::vector<uint8_t> expected = ExpectedScreen(record, width, height, lastTick);

  Session session;
  StartSession(session, GetModuleHandleA(nullptr));
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = ScreenSaverProc;
  windowClass.hInstance = session.instance;
  windowClass.lpszClassName = "VimbrelMovingScene";
  ASSERT_NE(RegisterClassA(&windowClass), 0);
  HWND window = CreateWindowExA(WS_EX_TOPMOST, "VimbrelMovingScene", "", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                nullptr, nullptr, windowClass.hInstance, &session);
  ASSERT_NE(window, nullptr);
  UpdateWindow(window);  // the first paint builds the scene
  ASSERT_TRUE(SceneReady(session.views[0].scene));
  KillTimer(window, frameTimerId);  // only the frames below are drawn
  session.clock.frozen = true;
  for (uint32_t tick = 4100; tick <= lastTick; tick += 300) {  // a frame time of 300 ms: large moves
    session.clock.frozenTick = tick;
    SendMessageA(window, WM_TIMER, frameTimerId, 0);
    UpdateWindow(window);
  }
  int shownWidth = 0, shownHeight = 0;
  const std::vector<uint8_t> shown = CaptureClient(window, shownWidth, shownHeight);
  EXPECT_EQ(Mismatches(shown, expected), 0u) << "of " << width * height << " pixels";

  DestroyWindow(window);
  EndSession(session);
  DeleteSettingsKey();
}

}  // namespace
