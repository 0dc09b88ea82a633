// The full-screen saver on two monitors (scripts/wine-env --two-monitors:
// Wine sees a 1024 x 768 primary at 0,0 and an 800 x 600 second monitor at
// 1024,0): the second gets one window of its own rectangle, black with
// Every monitor off (the scene each shows at its own size, and mouse travel
// on a cover: host_screens_change_test); a key or a click on it ends the
// saver as on the scene window, through the password question, and a
// refusal leaves every window in place; every kind of input ends it there,
// and its scene moves frame after frame on this true-colour display.
#include <gtest/gtest.h>

#include <utility>

#include "two_monitors/screens.h"
#include "win32/resources/resource_ids.h"

namespace {

class HostCoverWindows : public SaverTest {
 protected:
  void SetUp() override {
    SaverTest::SetUp();
    monitors = MonitorRects();
    ASSERT_EQ(monitors.size(), 2u) << "run through scripts/wine-env --two-monitors";
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    ASSERT_TRUE(EqualRect(&monitors[0], &screen)) << "the primary monitor is the screen at 0,0";
    RECT overlap;
    ASSERT_FALSE(IntersectRect(&overlap, &monitors[0], &monitors[1])) << "the monitors lie side by side";
    SetCursorPos(monitors[1].left + 300, monitors[1].top + 200);  // input happens on the second monitor
  }
  // Starts the saver and waits for its one cover to be shown.
  HWND StartWithCover() {
    saver = StartSaver("/s");
    if (saver.window == nullptr) return nullptr;
    WaitUntil(
        [&] {
          const std::vector<HWND> covers = CoverWindows(saver);
          return !covers.empty() && IsWindowVisible(covers[0]);
        },
        5000);
    const std::vector<HWND> covers = CoverWindows(saver);
    return covers.size() == 1 ? covers[0] : nullptr;
  }

  std::vector<RECT> monitors;  // as MonitorRects gives them
};

TEST_F(HostCoverWindows, WithEveryMonitorOffTheSecondMonitorGetsATopmostCaptionlessBlackCover) {
  const DWORD off = 0;
  ASSERT_TRUE(SetUserValue(storedKeyPath, storedEveryMonitorName, REG_DWORD, &off, sizeof off));
  HWND cover = StartWithCover();
  ASSERT_NE(cover, nullptr);
  RECT scene, covered;
  GetWindowRect(saver.window, &scene);
  GetWindowRect(cover, &covered);
  EXPECT_TRUE(EqualRect(&scene, &monitors[0]));  // the scene window as on one monitor
  EXPECT_TRUE(EqualRect(&covered, &monitors[1]));
  EXPECT_TRUE(IsWindowVisible(cover));
  EXPECT_NE(GetWindowLongA(cover, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_EQ(GetWindowLongA(cover, GWL_STYLE) & (WS_CAPTION | WS_CHILD), 0);
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == saver.window; }, 5000)) << "the cover took no activation";
  // The screen there, not only the window: the display's own background
  // (a grey weave) shows wherever nothing covers it.
  EXPECT_TRUE(WaitUntil([&] { return AllBlack(CaptureScreen(monitors[1])); }, 5000));
  EXPECT_TRUE(WaitUntil([&] { return !AllBlack(CaptureScreen(monitors[0])); }, 5000)) << "no scene on the primary";

  PostClick(cover);
  EXPECT_EQ(WaitForExit(saver.run), 0u);
  EXPECT_FALSE(IsWindow(cover));
  EXPECT_TRUE(WaitUntil([&] { return !AllBlack(CaptureScreen(monitors[1])); }, 5000)) << "the cover left the screen";
}

// A click of the real mouse on the cover leaves the scene window active.
void ClickHere() {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, input, sizeof input[0]);
}

TEST_F(HostCoverWindows, InputOnTheCoverAsksThePasswordOverTheSceneAndARefusalKeepsEveryWindow) {
  SetUsePasswordFlag(1);
  ResetStandin("RA");
  ASSERT_TRUE(PlaceStandin(SystemFolder()));
  HWND cover = StartWithCover();
  ASSERT_NE(cover, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == saver.window; }, 5000));

  ClickHere();  // the cursor is on the cover
  ASSERT_TRUE(WaitUntil([] { return StandinNumber("Calls") == 1; }, 10000)) << "a click on the cover asked nothing";
  EXPECT_EQ(StandinNumber("LastWindow"), static_cast<DWORD>(reinterpret_cast<uintptr_t>(saver.window)));
  EXPECT_TRUE(StaysRunning(saver.run));
  EXPECT_TRUE(IsWindowVisible(saver.window));
  EXPECT_EQ(GetForegroundWindow(), saver.window) << "the click on the cover took the activation";
  EXPECT_EQ(CoverWindows(saver), std::vector<HWND>{cover});
  EXPECT_TRUE(IsWindowVisible(cover));

  const DWORD refused = StandinNumber("LastEndTick");
  WaitUntil([&] { return GetTickCount() - refused >= 250; });  // past the pause between two questions
  PostKey(cover, 'X');
  ASSERT_TRUE(WaitUntil([] { return StandinNumber("Calls") == 2; }, 10000)) << "a key on the cover asked nothing";
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

// Every monitor switched in the dialog over the saver shows on the second
// monitor at once: black when off, the scene again when on.
TEST_F(HostCoverWindows, EveryMonitorSwitchedInTheDialogShowsOnTheSecondMonitorAtOnce) {
  HWND cover = StartWithCover();
  ASSERT_NE(cover, nullptr);
  TypeKeySequence(saver.window);
  HWND dialog = WaitForSettingsDialog(saver.run.process.dwProcessId);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return !AllBlack(CaptureScreen(monitors[1])); }, 5000))
      << "no scene on the second monitor";
  for (const bool on : {false, true}) {
    ClickControl(dialog, IDC_EVERY_MONITOR);
    EXPECT_TRUE(WaitUntil([&] { return AllBlack(CaptureScreen(monitors[1])) != on; }, 5000))
        << "Every monitor switched " << (on ? "on" : "off") << " in the dialog: the second monitor";
  }
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

// The second monitor's scene moves frame after frame, as the primary's:
// the screen there changes again and again.
TEST_F(HostCoverWindows, TheSecondMonitorsSceneMovesFrameAfterFrame) {
  HDC screenDc = GetDC(nullptr);
  const bool trueColour = (GetDeviceCaps(screenDc, RASTERCAPS) & RC_PALETTE) == 0;
  ReleaseDC(nullptr, screenDc);
  ASSERT_TRUE(trueColour) << "a true-colour display";
  HWND cover = StartWithCover();
  ASSERT_NE(cover, nullptr);
  std::vector<uint8_t> last = CaptureScreen(monitors[1]);
  for (int frame = 1; frame <= 4; ++frame) {
    const bool moved = WaitUntil(
        [&] {
          std::vector<uint8_t> now = CaptureScreen(monitors[1]);
          return std::exchange(last, now) != now;
        },
        3000);
    ASSERT_TRUE(moved) << "the second monitor's scene stands still after " << frame - 1 << " changes";
  }
  EXPECT_FALSE(AllBlack(last));
  PostKey(cover, 'X');
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

// Each kind of input on the second monitor's window ends the saver with 0,
// as on the scene window: keys, buttons, and the mouse moved past the
// threshold (5 pixels).
class HostCoverInput : public HostCoverWindows, public ::testing::WithParamInterface<UINT> {};

TEST_P(HostCoverInput, EndsTheSaver) {
  HWND cover = StartWithCover();
  ASSERT_NE(cover, nullptr);
  POINT at;
  GetCursorPos(&at);
  if (GetParam() == WM_MOUSEMOVE)
    MoveMouse(cover, at.x + 3, at.y + 2);
  else
    PostMessageA(cover, GetParam(), GetParam() == WM_KEYDOWN || GetParam() == WM_SYSKEYDOWN ? 'X' : 0, 0);
  EXPECT_EQ(WaitForExit(saver.run, 10000), 0u);
}

INSTANTIATE_TEST_SUITE_P(EveryKind, HostCoverInput,
                         ::testing::Values(WM_KEYDOWN, WM_SYSKEYDOWN, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN,
                                           WM_MBUTTONDOWN));

}  // namespace
