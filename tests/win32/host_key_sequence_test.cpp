// The hidden key sequence over the real full-screen saver: the settings
// dialog opens over the running scene, holds input off while it is open and
// for a few frame ticks after it closes, and Cancel closes the saver through
// its ordinary close path.
#include <gtest/gtest.h>

#include "support/harness.h"

namespace {

class HostKeySequence : public SaverTest {
 protected:
  void SetUp() override {
    SaverTest::SetUp();
    StartSaverOrFail();
  }
  HWND OpenDialog() {
    TypeKeySequence(saver.window);
    return WaitForSettingsDialog(saver.run.process.dwProcessId);
  }
};

TEST_F(HostKeySequence, FirstLettersAreSwallowedAndAWrongLetterEndsTheSaver) {
  PostKey(saver.window, static_cast<WPARAM>(typedKeySequence[0]));
  PostKey(saver.window, static_cast<WPARAM>(typedKeySequence[1]));
  EXPECT_TRUE(StaysRunning(saver.run));
  PostKey(saver.window, static_cast<WPARAM>(typedKeySequence[0]));  // wrong at position 2
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

TEST_F(HostKeySequence, DialogHoldsInputOffUntilFiveTicksAfterOk) {
  HWND dialog = OpenDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), saver.window);

  PostKey(saver.window, 'X');
  PostClick(saver.window);
  MoveMouse(saver.window, 600, 500);
  EXPECT_TRUE(StaysRunning(saver.run));

  // OK and the key after it are queued in this order, so the key arrives
  // while the holdoff of five ticks has only just begun.
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  PostKey(saver.window, 'X');
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  EXPECT_TRUE(StaysRunning(saver.run));

  LetHoldoffRunOut();
  PostKey(saver.window, 'X');
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

TEST_F(HostKeySequence, AltKeyEndsTheSaverEvenWhileTheDialogIsOpen) {
  ASSERT_NE(OpenDialog(), nullptr);
  PostSysKey(saver.window, 'X');
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

// The keyboard works the dialog over the saver as in settings mode: Enter
// is OK, Esc is Cancel (which, without a password, ends the saver at once),
// whichever control has the focus.
TEST_F(HostKeySequence, TheDialogOverTheSaverTakesEnterAndEsc) {
  HWND dialog = OpenDialog();
  ASSERT_NE(dialog, nullptr);
  PostKey(GetNextDlgTabItem(dialog, nullptr, FALSE), VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000)) << "Enter did not press OK";
  EXPECT_TRUE(StaysRunning(saver.run));

  LetHoldoffRunOut();
  dialog = OpenDialog();
  ASSERT_NE(dialog, nullptr);
  PostKey(GetNextDlgTabItem(dialog, nullptr, FALSE), VK_ESCAPE);
  EXPECT_EQ(WaitForExit(saver.run, 5000), 0u) << "Esc did not press Cancel";
}

}  // namespace
