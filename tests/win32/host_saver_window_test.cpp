// The saver window of the real program: full screen with its input rules,
// one instance at a time, and the child preview inside a window of the test.
#include <gtest/gtest.h>

#include <utility>

#include "support/harness.h"

namespace {

class HostFullScreen : public SaverTest {
 protected:
  void SetUp() override {
    SaverTest::SetUp();
    ShowOwnWindow();
  }
};

TEST_F(HostFullScreen, CoversTheScreenTopmostHidesTheCursorAndKeepsItsTitle) {
  ASSERT_FALSE(CursorHidden());  // the test's own window shows the arrow
  StartSaverOrFail();
  RECT rect, screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  GetWindowRect(saver.window, &rect);
  EXPECT_TRUE(EqualRect(&rect, &screen)) << rect.left << "," << rect.top << " " << rect.right << "," << rect.bottom;
  EXPECT_NE(GetWindowLongA(saver.window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == saver.window; }, 5000));
  EXPECT_TRUE(WaitUntil(CursorHidden, 5000));

  DWORD_PTR result = 1;
  EXPECT_NE(
      SendMessageTimeoutA(saver.window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Renamed"), SMTO_BLOCK, 5000, &result),
      0);
  EXPECT_EQ(result, 0u);
  char title[64] = {};
  GetWindowTextA(saver.window, title, sizeof title);
  EXPECT_STREQ(title, "Screen Saver");

  PostKey(saver.window, 'X');
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

// Travel counts |dx| + |dy| from the reference: exactly 4 keeps the saver,
// 5 ends it, in whichever direction.
TEST_F(HostFullScreen, MouseTravelOfFourKeepsItAndFiveInOneStepEndsIt) {
  StartSaverOrFail();
  MoveMouse(saver.window, startX + 2, startY + 2);
  EXPECT_TRUE(StaysRunning(saver.run));
  MoveMouse(saver.window, startX - 3, startY - 1);
  EXPECT_TRUE(StaysRunning(saver.run));
  MoveMouse(saver.window, startX - 3, startY - 2);
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

// While the display sleeps no frame is composed: the screen stands still
// (the default scene turns every frame) until the display is on again, by
// SC_MONITORPOWER or a resume; a key still ends the saver at once.
TEST_F(HostFullScreen, NoFramesWhileTheDisplaySleepsAndAWholeFrameWhenItWakes) {
  StartSaverOrFail();
  const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  std::vector<uint8_t> before = CaptureScreen(screen);
  ASSERT_TRUE(WaitUntil([&] { return CaptureScreen(screen) != before; }, 5000)) << "the scene does not move";
  for (const LPARAM state : {LPARAM{2}, LPARAM{1}}) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(saver.window, WM_SYSCOMMAND, SC_MONITORPOWER, state, SMTO_BLOCK, 5000, &result);
    UpdateWindow(saver.window);  // the frame composed before it, painted now
    // ... and on the screen once two readings agree.
    std::vector<uint8_t> asleep;
    ASSERT_TRUE(WaitUntil([&] { return std::exchange(asleep, CaptureScreen(screen)) == asleep; }, 3000));
    EXPECT_FALSE(WaitUntil([&] { return CaptureScreen(screen) != asleep; }, 800)) << "drawn in power state " << state;
    const bool resume = state == 1;
    if (resume)
      PostMessageA(saver.window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    else
      PostMessageA(saver.window, WM_SYSCOMMAND, SC_MONITORPOWER, -1);
    EXPECT_TRUE(WaitUntil([&] { return CaptureScreen(screen) != asleep; }, 2000)) << "no frame after waking";
  }
  PostMessageA(saver.window, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
  PostKey(saver.window, 'X');
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

class HostEndingInput : public HostFullScreen, public ::testing::WithParamInterface<UINT> {};

TEST_P(HostEndingInput, EndsTheSaverWithZero) {
  StartSaverOrFail();
  PostMessageA(saver.window, GetParam(), 'X', 0);
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

// WM_KEYDOWN and WM_LBUTTONDOWN end the savers of the tests above.
INSTANTIATE_TEST_SUITE_P(KeysAndButtons, HostEndingInput,
                         ::testing::Values(WM_SYSKEYDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN));

class HostChildPreview : public ::testing::Test {
 protected:
  void TearDown() override {
    EndProgram(run);
    if (IsWindow(parent)) DestroyWindow(parent);
  }
  void StartIn(const std::string& switchText) {
    parent = CreatePreviewParent(152, 112);
    ASSERT_NE(parent, nullptr);
    run = StartProgram(switchText + HandleText(parent), nullptr);
    preview = WaitForPreviewWindow(parent);
    ASSERT_NE(preview, nullptr);
  }

  HWND parent = nullptr;
  ProgramRun run = {};
  HWND preview = nullptr;
};

TEST_F(HostChildPreview, FillsTheParentIgnoresInputForwardsContextMenusAndEndsWithItsParent) {
  StartIn("/p ");
  RECT parentClient, previewRect;
  GetClientRect(parent, &parentClient);
  GetClientRect(preview, &previewRect);
  EXPECT_TRUE(EqualRect(&previewRect, &parentClient)) << previewRect.right << " x " << previewRect.bottom;
  EXPECT_EQ(GetParent(preview), parent);
  EXPECT_NE(GetWindowLongA(preview, GWL_STYLE) & WS_CHILD, 0);

  SetCursorPos(10, 10);
  PostKey(preview, 'X');
  PostSysKey(preview, 'X');
  PostClick(preview);
  MoveMouse(preview, 300, 300);
  EXPECT_TRUE(StaysRunning(run));

  PostMessageA(preview, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(preview), MAKELPARAM(50, 50));
  EXPECT_TRUE(WaitUntil([&] { return LastContextMenuTarget() != 0; }, 5000));
  EXPECT_EQ(LastContextMenuTarget(), reinterpret_cast<WPARAM>(parent));

  DestroyWindow(parent);
  EXPECT_EQ(WaitForExit(run), 0u);
}

// The parent's program ends without destroying its window: the preview
// gets no WM_DESTROY, and still ends within about a second. The parent is
// the settings-mode window of another run of the program.
TEST_F(HostChildPreview, EndsWhenTheParentsProgramEndsWithoutDestroyingIt) {
  ProgramRun owner = StartProgram("/c");
  parent = WaitForProcessWindow(owner.process.dwProcessId, "Spinner", nullptr);
  ASSERT_NE(parent, nullptr);
  run = StartProgram("/p " + HandleText(parent));
  ASSERT_NE(WaitForPreviewWindow(parent), nullptr);
  TerminateProcess(owner.process.hProcess, 1);
  ASSERT_EQ(WaitForExit(owner), 1u);
  const DWORD gone = GetTickCount();
  EXPECT_EQ(WaitForExit(run, 5000), 0u);
  EXPECT_LE(GetTickCount() - gone, 1500u);
}

}  // namespace
