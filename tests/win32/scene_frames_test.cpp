// The Windows builds draw exactly what the native build draws: the golden
// frames from the pictures linked into this program, and a scene window's
// pixels against the portable renderer (the real program's full-screen
// window is compared on both monitors by two_monitors/).
#include <gtest/gtest.h>

#include "win32/image/bitmap_resource.h"
#include "win32/resources/resource_ids.h"
#include "scene/golden_frames.h"
#include "support/harness.h"

namespace {

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

// A moving scene in a window of this process: each frame the timer puts up
// only the bands that changed, so after a few frames the window must show
// the last of them exactly, with nothing left over from the ones before.
TEST(SceneFrames, MovingSceneWindowShowsItsLatestFrameExactly) {
  SettingsRecord record{};
  SetDefaultSettings(record);
  record.showGrid = 1;
  StoreSettings(record);
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
