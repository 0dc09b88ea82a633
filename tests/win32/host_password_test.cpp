// The password question of the real full-screen saver, answered by the
// PASSWORD.CPL stand-in (password_standin.h) placed in the system folder.
#include <gtest/gtest.h>

#include "win32/host/saver_window.h"
#include "support/harness.h"

namespace {

class HostPassword : public SaverTest {
 protected:
  void SetUp() override {
    SaverTest::SetUp();
    SetUsePasswordFlag(1);
  }
  void TearDown() override {
    SaverTest::TearDown();
    EndProgram(preview);
    if (IsWindow(parent)) DestroyWindow(parent);
    RemoveStandin(ProgramFolder());
    if (!otherFolder.empty()) {
      RemoveStandin(otherFolder);
      RemoveDirectoryA(otherFolder.c_str());
    }
    SetSaverRunning(false);
  }
  void StartWithStandin(const char* script) {
    ResetStandin(script);
    ASSERT_TRUE(PlaceStandin(SystemFolder()));
    StartSaverOrFail();
  }
  bool WaitForCalls(DWORD calls) {
    return WaitUntil([&] { return StandinNumber("Calls") >= calls; }, 10000) && StandinNumber("Calls") == calls;
  }
  // Questions closer together than 200 ms are not asked; wait past that.
  void LetQuestionIntervalPass() {
    const DWORD ended = StandinNumber("LastEndTick");
    WaitUntil([&] { return GetTickCount() - ended >= 250; });
  }

  ProgramRun preview = {};
  HWND parent = nullptr;
  std::string otherFolder;
};

TEST_F(HostPassword, RefusalsKeepTheSaverAndTheQuestionIsNotRepeatedWithin200Ms) {
  // N: refuses after a close request and a key arrived while its prompt was open;
  // S: refuses after 400 ms with a key arriving right after it; R: refuses; A: approves.
  ShowOwnWindow();
  ASSERT_FALSE(CursorHidden());  // the test's own window shows the arrow until the saver takes over
  StartWithStandin("NSRRA");
  EXPECT_EQ(StoredSaverRunningState(), 1);  // switched on while the verifier is loaded
  PostKey(saver.window, 'X');
  ASSERT_TRUE(WaitForCalls(1));  // the close and key during the prompt asked nothing more
  EXPECT_EQ(StandinNumber("LastWindow"), static_cast<DWORD>(reinterpret_cast<uintptr_t>(saver.window)));
  EXPECT_EQ(StandinNumber("SaverRunning"), 1u);
  EXPECT_TRUE(StaysRunning(saver.run));
  EXPECT_TRUE(CursorHidden()) << "the prompt's arrow stayed after the refusal";

  LetQuestionIntervalPass();
  PostKey(saver.window, 'X');
  ASSERT_TRUE(WaitForCalls(2));
  EXPECT_TRUE(StaysRunning(saver.run));
  EXPECT_EQ(StandinNumber("Calls"), 2u)
      << "the key right after a slow prompt asked again: the pause counts from its start";

  // A refusal takes the cursor's position then as the new reference.
  LetQuestionIntervalPass();
  MoveMouse(saver.window, startX + 3, startY);
  PostKey(saver.window, 'X');
  ASSERT_TRUE(WaitForCalls(3));
  LetQuestionIntervalPass();
  MoveMouse(saver.window, startX + 6, startY);  // 3 from the new reference, 6 from the old
  // Long enough for the question a move of 6 would ask, on a busy machine too.
  EXPECT_FALSE(WaitUntil([&] { return StandinNumber("Calls") > 3; }, 1500)) << "a move of 3 asked the password";
  EXPECT_TRUE(StaysRunning(saver.run));
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
  LetHoldoffRunOut();
  TypeKeySequence(saver.window);
  dialog = WaitForSettingsDialog(saver.run.process.dwProcessId);
  ASSERT_NE(dialog, nullptr);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitForCalls(2));
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

TEST_F(HostPassword, ChildPreviewNeverLoadsTheVerifier) {
  ASSERT_NE(SetSaverRunning(true), 0);
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
  ASSERT_TRUE(PlaceStandin(ProgramFolder()));
  ASSERT_TRUE(PlaceStandin(otherFolder));
  for (const DWORD calls : {0u, 1u}) {  // without, then with one in the system folder
    ResetStandin("A");
    ASSERT_TRUE(calls == 0 || PlaceStandin(SystemFolder()));
    StartSaverOrFail(otherFolder.c_str());
    PostKey(saver.window, 'X');
    EXPECT_EQ(WaitForExit(saver.run), 0u);
    EXPECT_EQ(StandinNumber("Calls"), calls);
  }
  const std::string loadedFrom = StandinText("LoadedFrom");
  EXPECT_EQ(lstrcmpiA(loadedFrom.c_str(), (SystemFolder() + "\\PASSWORD.CPL").c_str()), 0) << loadedFrom;
}

}  // namespace
