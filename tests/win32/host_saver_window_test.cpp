// The saver window of the real program: full screen with its input rules,
// one instance at a time, and the child preview inside a window of the test.
#include <gtest/gtest.h>

#include "support/host_tools.h"

namespace {

constexpr int startX = 500;
constexpr int startY = 400;

class HostFullScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveUsePasswordFlag();
    own = ShowOwnWindow();
    SetCursorPos(startX, startY);  // the saver measures travel from where the cursor is when it starts
  }
  void TearDown() override {
    EndProgram(saver.run);
    EndProgram(second);
  }
  void Start() {
    saver = StartSaver("/s");
    ASSERT_NE(saver.window, nullptr);
  }

  HWND own = nullptr;
  SaverRun saver = {};
  ProgramRun second = {};
};

TEST_F(HostFullScreen, CoversTheScreenTopmostHidesTheCursorAndKeepsItsTitle) {
  ASSERT_FALSE(CursorHidden());  // the test's own window shows the arrow
  Start();
  RECT rect;
  GetWindowRect(saver.window, &rect);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_NE(GetWindowLongA(saver.window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == saver.window; }, 5000));
  EXPECT_TRUE(WaitUntil(CursorHidden, 5000));

  DWORD_PTR result = 1;
  EXPECT_NE(SendMessageTimeoutA(saver.window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Renamed"), SMTO_BLOCK, 5000,
                                &result),
            0);
  EXPECT_EQ(result, 0u);
  char title[64] = {};
  GetWindowTextA(saver.window, title, sizeof title);
  EXPECT_STREQ(title, "Screen Saver");

  PostKey(saver.window, 'X');
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

TEST_F(HostFullScreen, SecondStartBringsTheFirstForwardAndEndsWithZero) {
  Start();
  // Asked again until it holds: the saver may still be taking the foreground as it starts.
  ASSERT_TRUE(WaitUntil([&] { return SetForegroundWindow(own) && GetForegroundWindow() == own; }, 5000));

  second = StartProgram("/s", nullptr);
  EXPECT_EQ(WaitForExit(second), 0u);
  EXPECT_EQ(GetForegroundWindow(), saver.window);
  EXPECT_FALSE(HasEnded(saver.run));
  EXPECT_EQ(FindWindowA("WindowsScreenSaverClass", "Screen Saver"), saver.window);
  EXPECT_EQ(FindWindowExA(nullptr, saver.window, "WindowsScreenSaverClass", "Screen Saver"), nullptr);

  PostClick(saver.window);
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

// Travel counts |dx| + |dy| from the reference: exactly 4 keeps the saver,
// 5 ends it, in whichever direction.
TEST_F(HostFullScreen, MouseTravelOfFourKeepsItAndFiveInOneStepEndsIt) {
  Start();
  MoveMouse(saver.window, startX + 2, startY + 2);
  EXPECT_TRUE(StaysRunning(saver.run));
  MoveMouse(saver.window, startX - 3, startY - 1);
  EXPECT_TRUE(StaysRunning(saver.run));
  MoveMouse(saver.window, startX - 3, startY - 2);
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

TEST_F(HostFullScreen, SmallStepsAddUpUntilTheTravelPassesFour) {
  Start();
  for (int step = 1; step <= 4; ++step) MoveMouse(saver.window, startX + step, startY);
  EXPECT_TRUE(StaysRunning(saver.run));
  MoveMouse(saver.window, startX + 5, startY);
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

class HostEndingInput : public HostFullScreen, public ::testing::WithParamInterface<UINT> {};

TEST_P(HostEndingInput, EndsTheSaverWithZero) {
  Start();
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
    if (IsWindow(parent.window)) DestroyWindow(parent.window);
  }
  void StartIn(const std::string& switchText) {
    parent = CreatePreviewParent(152, 112);
    ASSERT_NE(parent.window, nullptr);
    run = StartProgram(switchText + HandleText(parent.window), nullptr);
    preview = WaitForPreviewWindow(parent.window);
    ASSERT_NE(preview, nullptr);
  }

  PreviewParent parent = {};
  ProgramRun run = {};
  HWND preview = nullptr;
};

TEST_F(HostChildPreview, FillsTheParentIgnoresInputForwardsContextMenusAndEndsWithItsParent) {
  StartIn("/p ");
  RECT parentClient, previewRect;
  GetClientRect(parent.window, &parentClient);
  GetClientRect(preview, &previewRect);
  EXPECT_EQ(previewRect.right, parentClient.right);
  EXPECT_EQ(previewRect.bottom, parentClient.bottom);
  EXPECT_EQ(GetParent(preview), parent.window);
  EXPECT_NE(GetWindowLongA(preview, GWL_STYLE) & WS_CHILD, 0);

  SetCursorPos(10, 10);
  PostKey(preview, 'X');
  PostSysKey(preview, 'X');
  PostClick(preview);
  MoveMouse(preview, 300, 300);
  EXPECT_TRUE(StaysRunning(run));

  PostMessageA(preview, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(preview), MAKELPARAM(50, 50));
  EXPECT_TRUE(WaitUntil([&] { return LastContextMenuTarget() != 0; }, 5000));
  EXPECT_EQ(LastContextMenuTarget(), reinterpret_cast<WPARAM>(parent.window));

  DestroyWindow(parent.window);
  EXPECT_EQ(WaitForExit(run), 0u);
}

TEST_F(HostChildPreview, SwitchLRunsTheSamePreview) {
  StartIn("/l ");
  EXPECT_TRUE(IsWindowVisible(preview));
  DestroyWindow(parent.window);
  EXPECT_EQ(WaitForExit(run), 0u);
}

TEST_F(HostChildPreview, NumberRightAfterTheLetterAndWrappedAt32Bits) {
  // "/P<handle + 2^32>": no blank needed, and the number wraps to the handle.
  parent = CreatePreviewParent(80, 60);
  const unsigned long long wrapped = reinterpret_cast<uintptr_t>(parent.window) + 4294967296ull;
  run = StartProgram("/P" + std::to_string(wrapped), nullptr);
  preview = WaitForPreviewWindow(parent.window);
  ASSERT_NE(preview, nullptr);
  DestroyWindow(parent.window);
  EXPECT_EQ(WaitForExit(run), 0u);
}

}  // namespace
