// The password question of the real full-screen saver, answered by the
// PASSWORD.CPL stand-in (password_standin.h) placed in the system folder.
#include <gtest/gtest.h>

#include "host/saver_window_win32.h"
#include "support/harness.h"

namespace {

constexpr int startX = 500;
constexpr int startY = 400;
constexpr DWORD frameTimeMs = 100;

bool SamePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

class HostPassword : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveStandin(SystemFolder());
    SetUsePasswordFlag(1);
    SetCursorPos(startX, startY);
  }
  void TearDown() override {
    EndProgram(saver.run);
    EndProgram(preview);
    if (IsWindow(parent)) DestroyWindow(parent);
    RemoveUsePasswordFlag();
    RemoveStandin(SystemFolder());
    RemoveStandin(ProgramFolder());
    if (!otherFolder.empty()) {
      RemoveStandin(otherFolder);
      RemoveDirectoryA(otherFolder.c_str());
    }
    SetSaverRunning(0);
  }
  void StartWithStandin(const char* script) {
    ResetStandin(script);
    ASSERT_TRUE(PlaceStandin(SystemFolder()));
    saver = StartSaver("/s");
    ASSERT_NE(saver.window, nullptr);
  }
  bool WaitForCalls(DWORD calls) {
    return WaitUntil([&] { return StandinNumber("Calls") >= calls; }, 10000) && StandinNumber("Calls") == calls;
  }
  // Questions closer together than 200 ms are not asked; wait past that.
  void LetQuestionIntervalPass() {
    const DWORD ended = StandinNumber("LastEndTick");
    WaitUntil([&] { return GetTickCount() - ended >= 250; });
  }

  SaverRun saver = {};
  ProgramRun preview = {};
  HWND parent = nullptr;
  std::string otherFolder;
};

TEST_F(HostPassword, RefusalsKeepTheSaverAndTheQuestionIsNotRepeatedWithin200Ms) {
  // N: refuses after a close request and a key arrived while its prompt was open;
  // K: refuses with a key arriving right after it; R: refuses; A: approves.
  ShowOwnWindow();
  ASSERT_FALSE(CursorHidden());  // the test's own window shows the arrow until the saver takes over
  StartWithStandin("NKRRA");
  EXPECT_EQ(StoredSaverRunningState(), 1);  // switched on while the verifier is loaded
  PostKey(saver.window, 'X');
  ASSERT_TRUE(WaitForCalls(1));  // the close and key during the prompt asked nothing more
  EXPECT_EQ(StandinNumber("LastWindow"), static_cast<DWORD>(reinterpret_cast<uintptr_t>(saver.window)));
  EXPECT_EQ(StandinNumber("SaverRunning"), 1u);
  EXPECT_TRUE(StaysRunning(saver.run));
  EXPECT_TRUE(CursorHidden());

  LetQuestionIntervalPass();
  PostKey(saver.window, 'X');
  ASSERT_TRUE(WaitForCalls(2));
  EXPECT_TRUE(StaysRunning(saver.run));
  EXPECT_EQ(StandinNumber("Calls"), 2u);  // the key right after the prompt did not ask again

  // A refusal takes the cursor's position then as the new reference.
  LetQuestionIntervalPass();
  MoveMouse(saver.window, startX + 3, startY);
  PostKey(saver.window, 'X');
  ASSERT_TRUE(WaitForCalls(3));
  LetQuestionIntervalPass();
  MoveMouse(saver.window, startX + 6, startY);  // 3 from the new reference, 6 from the old
  EXPECT_TRUE(StaysRunning(saver.run));
  EXPECT_EQ(StandinNumber("Calls"), 3u);
  MoveMouse(saver.window, startX + 8, startY);
  ASSERT_TRUE(WaitForCalls(4));
  EXPECT_TRUE(StaysRunning(saver.run));

  LetQuestionIntervalPass();
  PostClick(saver.window);
  ASSERT_TRUE(WaitForCalls(5));
  EXPECT_EQ(WaitForExit(saver.run), 0u);
  EXPECT_EQ(StoredSaverRunningState(), 0);  // and off again when the saver ends
}

TEST_F(HostPassword, CancelInTheDialogAsksAndARefusalLeavesTheSaverWithoutTheDialog) {
  StartWithStandin("RA");
  TypeKeySequence(saver.window);
  HWND dialog = WaitForSettingsDialog(saver.run.process.dwProcessId);
  ASSERT_NE(dialog, nullptr);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitForCalls(1));
  EXPECT_TRUE(StaysRunning(saver.run));
  EXPECT_FALSE(IsWindow(dialog));

  // The sequence can be typed again once the holdoff after the dialog has run out.
  const DWORD cancelled = GetTickCount();
  WaitUntil([&] { return GetTickCount() - cancelled >= holdoffAfterDialog * frameTimeMs + 400; });
  TypeKeySequence(saver.window);
  dialog = WaitForSettingsDialog(saver.run.process.dwProcessId);
  ASSERT_NE(dialog, nullptr);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitForCalls(2));
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

TEST_F(HostPassword, WithoutTheSwitchNoLibraryIsAskedAndTheRunningStateIsLeftAlone) {
  ASSERT_NE(SetSaverRunning(1), 0);  // a value the saver would change if it touched the state
  SetUsePasswordFlag(0);
  StartWithStandin("R");
  PostKey(saver.window, 'X');
  EXPECT_EQ(WaitForExit(saver.run), 0u);
  EXPECT_EQ(StandinNumber("Calls"), 0u);
  EXPECT_EQ(StoredSaverRunningState(), 1);
}

TEST_F(HostPassword, ChildPreviewNeverLoadsTheVerifier) {
  ASSERT_NE(SetSaverRunning(1), 0);
  ResetStandin("R");
  ASSERT_TRUE(PlaceStandin(SystemFolder()));
  parent = CreatePreviewParent(100, 80);
  preview = StartProgram("/p " + HandleText(parent), nullptr);
  HWND child = WaitForPreviewWindow(parent);
  ASSERT_NE(child, nullptr);
  PostKey(child, 'X');
  PostMessageA(child, WM_CLOSE, 0, 0);  // a preview's close goes through at once, asking nothing
  EXPECT_EQ(WaitForExit(preview), 0u);
  EXPECT_EQ(StandinNumber("Calls"), 0u);
  EXPECT_EQ(StoredSaverRunningState(), 1);
}

// A PASSWORD.CPL beside the program or in the current folder is never run:
// only the system folder's counts, and without one there is no password.
TEST_F(HostPassword, OnlyTheSystemFolderLibraryIsLoaded) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  otherFolder = std::string(temp) + "vimbrel-host-current";
  CreateDirectoryA(otherFolder.c_str(), nullptr);
  ResetStandin("R");
  ASSERT_TRUE(PlaceStandin(ProgramFolder()));
  ASSERT_TRUE(PlaceStandin(otherFolder));

  saver = StartSaver("/s", otherFolder.c_str());
  ASSERT_NE(saver.window, nullptr);
  PostKey(saver.window, 'X');
  EXPECT_EQ(WaitForExit(saver.run), 0u);
  EXPECT_EQ(StandinNumber("Calls"), 0u);

  ResetStandin("A");
  ASSERT_TRUE(PlaceStandin(SystemFolder()));
  saver = StartSaver("/s", otherFolder.c_str());
  ASSERT_NE(saver.window, nullptr);
  PostKey(saver.window, 'X');
  EXPECT_EQ(WaitForExit(saver.run), 0u);
  EXPECT_EQ(StandinNumber("Calls"), 1u);
  EXPECT_TRUE(SamePath(StandinText("LoadedFrom"), SystemFolder() + "\\PASSWORD.CPL")) << StandinText("LoadedFrom");
}

}  // namespace
