// The saver window of the real program: full screen with its input rules,
// one instance at a time, and the child preview inside a window of the test.
#include <gtest/gtest.h>

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

}  // namespace
