// The full-screen saver on two monitors (scripts/wine-env --two-monitors:
// Wine sees a 1024 x 768 primary and an 800 x 600 second monitor, both at
// 0,0): the second gets one black cover window, input
// on the cover ends the saver as input on the scene window does, through the
// password question, and a refusal leaves every window in place.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "support/host_tools.h"

namespace {

constexpr int startX = 500;
constexpr int startY = 400;

struct ProcessWindows {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK AddCover(HWND window, LPARAM data) {
  auto* query = reinterpret_cast<ProcessWindows*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  if (owner == query->processId && lstrcmpA(className, "VimbrelCoverClass") == 0) query->found.push_back(window);
  return TRUE;
}

std::vector<HWND> CoverWindows(const SaverRun& saver) {
  ProcessWindows query = {saver.run.process.dwProcessId, {}};
  EnumWindows(AddCover, reinterpret_cast<LPARAM>(&query));
  return query.found;
}

class HostCoverWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 2) << "run through scripts/wine-env --two-monitors";
    RemoveUsePasswordFlag();
    RemoveStandin(SystemFolder());
    SetCursorPos(startX, startY);
  }
  void TearDown() override {
    EndProgram(saver.run);
    RemoveUsePasswordFlag();
    RemoveStandin(SystemFolder());
  }
  // Starts the saver and waits for its one cover to be shown.
  HWND StartWithCover() {
    saver = StartSaver("/s");
    if (saver.window == nullptr) return nullptr;
    WaitUntil([&] {
      const std::vector<HWND> covers = CoverWindows(saver);
      return !covers.empty() && IsWindowVisible(covers[0]);
    }, 5000);
    const std::vector<HWND> covers = CoverWindows(saver);
    return covers.size() == 1 ? covers[0] : nullptr;
  }

  SaverRun saver = {};
};

TEST_F(HostCoverWindows, TheSecondMonitorGetsATopmostCaptionlessBlackCover) {
  HWND cover = StartWithCover();
  ASSERT_NE(cover, nullptr);
  RECT scene, covered;
  GetWindowRect(saver.window, &scene);
  GetWindowRect(cover, &covered);
  EXPECT_EQ(scene.left, 0);  // the scene window as on one monitor
  EXPECT_EQ(scene.top, 0);
  EXPECT_EQ(scene.right, 1024);
  EXPECT_EQ(scene.bottom, 768);
  EXPECT_EQ(covered.left, 0);
  EXPECT_EQ(covered.top, 0);
  EXPECT_EQ(covered.right, 800);
  EXPECT_EQ(covered.bottom, 600);
  EXPECT_TRUE(IsWindowVisible(cover));
  EXPECT_NE(GetWindowLongA(cover, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_EQ(GetWindowLongA(cover, GWL_STYLE) & (WS_CAPTION | WS_CHILD), 0);
  // Which of the two lies on top is not checked: on real monitors they do not
  // overlap, and Wine, which puts both monitors at 0,0, now and then leaves a
  // newly shown cover above the window it was placed below.
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == saver.window; }, 5000)) << "the cover took no activation";

  // Here the cover lies under the scene window; moved aside, it shows black.
  SetWindowPos(saver.window, nullptr, 1024, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(WaitUntil([&] {
    int width = 0, height = 0;
    const std::vector<uint8_t> rgb = CaptureClient(cover, width, height);
    return width == 800 && height == 600 && std::all_of(rgb.begin(), rgb.end(), [](uint8_t v) { return v == 0; });
  }, 5000));

  PostClick(cover);
  EXPECT_EQ(WaitForExit(saver.run), 0u);
  EXPECT_FALSE(IsWindow(cover));
}

TEST_F(HostCoverWindows, AKeyOrMouseTravelOnTheCoverEndsTheSaverAsOnTheSceneWindow) {
  HWND cover = StartWithCover();
  ASSERT_NE(cover, nullptr);
  PostKey(cover, 'X');
  EXPECT_EQ(WaitForExit(saver.run), 0u);

  SetCursorPos(startX, startY);
  cover = StartWithCover();
  ASSERT_NE(cover, nullptr);
  MoveMouse(cover, startX + 2, startY + 2);
  EXPECT_TRUE(StaysRunning(saver.run)) << "travel of 4 keeps the saver";
  MoveMouse(cover, startX + 3, startY + 2);
  EXPECT_EQ(WaitForExit(saver.run), 0u) << "travel of 5 ends it";
}

TEST_F(HostCoverWindows, InputOnTheCoverAsksThePasswordOverTheSceneAndARefusalKeepsEveryWindow) {
  SetUsePasswordFlag(1);
  ResetStandin("RA");
  ASSERT_TRUE(PlaceStandin(SystemFolder()));
  HWND cover = StartWithCover();
  ASSERT_NE(cover, nullptr);

  PostKey(cover, 'X');
  ASSERT_TRUE(WaitUntil([] { return StandinNumber("Calls") == 1; }, 10000));
  EXPECT_EQ(StandinNumber("LastWindow"), static_cast<DWORD>(reinterpret_cast<uintptr_t>(saver.window)));
  EXPECT_TRUE(StaysRunning(saver.run));
  EXPECT_TRUE(IsWindowVisible(saver.window));
  EXPECT_EQ(CoverWindows(saver), std::vector<HWND>{cover});
  EXPECT_TRUE(IsWindowVisible(cover));

  const DWORD refused = StandinNumber("LastEndTick");
  WaitUntil([&] { return GetTickCount() - refused >= 250; });  // past the pause between two questions
  PostClick(cover);
  ASSERT_TRUE(WaitUntil([] { return StandinNumber("Calls") == 2; }, 10000));
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

}  // namespace
