// Hostile stored settings and a refusing registry never trap the user of the
// real program: a frame time whose timer never fires cannot keep the saver
// from ending after the dialog, a refused write is told and keeps the edits
// (and OK then stores exactly the edited record),
// a text password switch is read as its number, and the dialog has the
// keyboard as soon as it appears.
#include <gtest/gtest.h>

#include "win32/config_ui/configure_dialog.h"
#include "support/harness.h"

namespace {

constexpr char kelvarnKeyPath[] = "Software\\Kelvarn";
const int lightTwoZ = Control("light2Z"), lightTwoZLabel = Label("light2Z");

class HostileSettings : public SaverTest {
 protected:
  void TearDown() override {
    SaverTest::TearDown();
    RegDeleteTreeA(HKEY_CURRENT_USER, kelvarnKeyPath);  // a volatile key of the save test
  }
  HWND StartSettingsMode() {
    saver.run = StartProgram("/c");
    return saver.run.started ? WaitForSettingsDialog(saver.run.process.dwProcessId) : nullptr;
  }
  HWND FocusOfProgram() {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(saver.run.process.dwThreadId, &info) ? info.hwndFocus : nullptr;
  }
  HWND OpenDialogOverTheSaver() {
    TypeKeySequence(saver.window);
    return WaitForSettingsDialog(saver.run.process.dwProcessId);
  }

  ProgramRun& run = saver.run;
};

SettingsRecord DefaultsWith(int32_t frameTime) {
  SettingsRecord record = DefaultSettings();
  record.frameTime = frameTime;
  return record;
}

void PressKey(WORD key) {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = key;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof input[0]);
}

enum class Input { key, click, mouseMove };
struct HoldoffCase {
  int32_t frameTime;
  bool resetFirst;  // Reset to Defaults before OK
  Input input;
};

TEST_F(HostileSettings, InputEndsTheSaverAfterTheDialogWhateverTheFrameTime) {
  const HoldoffCase cases[] = {
      {-1, false, Input::key},
      {0, false, Input::click},
      {60000, false, Input::mouseMove},  // a minute: a period the system takes, the dialog cannot set
      {-1, true, Input::key},
  };
  for (const HoldoffCase& c : cases) {
    SCOPED_TRACE("frame time " + std::to_string(c.frameTime) + (c.resetFirst ? " after Reset" : ""));
    StoreSettings(DefaultsWith(c.frameTime));
    SetCursorPos(startX, startY);
    StartSaverOrFail();
    // The frame timer starts with the first frame: a dialog opened before it holds off at the default period.
    int width, height;
    ASSERT_TRUE(WaitUntil([&] { return !AllBlack(CaptureClient(saver.window, width, height)); }, 5000));
    HWND dialog = OpenDialogOverTheSaver();
    ASSERT_NE(dialog, nullptr);
    if (c.resetFirst) PostMessageA(dialog, WM_COMMAND, resetToDefaultsId, 0);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    // The input is held off for five default frame periods after the dialog
    // closes; given again and again, it must end the saver soon after.
    EXPECT_TRUE(WaitUntil(
        [&] {
          if (c.input == Input::key) PostKey(saver.window, 'X');
          if (c.input == Input::click) PostClick(saver.window);
          if (c.input == Input::mouseMove) MoveMouse(saver.window, 600, 500);
          return HasEnded(run);
        },
        3000))
        << "input given again and again for 3 s after the dialog did not end the saver";
    EXPECT_EQ(WaitForExit(run, 3000), 0u);
  }
}

TEST_F(HostileSettings, RefusedSaveIsToldAndKeepsTheDialogWithItsEdits) {
  DeleteSettingsKey();
  RegDeleteTreeA(HKEY_CURRENT_USER, kelvarnKeyPath);
  HKEY volatileKey;  // a volatile key takes no lasting subkey: creating the settings key fails
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kelvarnKeyPath, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                            &volatileKey, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(volatileKey);
  HWND dialog = StartSettingsMode();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ControlText(dialog, Label("dodecaCentreX")), "-273");  // no stored record: the defaults
  MoveTrackbar(dialog, lightTwoZ, -1234);
  ClickControl(dialog, Control("showPalette"));
  PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);

  HWND message = WaitForProcessWindow(run.process.dwProcessId, "#32770", saveFailureCaption, 5000);
  ASSERT_NE(message, nullptr);
  const std::string text = ControlText(message, 0xFFFF);  // a message box's text control
  EXPECT_NE(text.find("Vimbrel could not save its settings."), std::string::npos) << text;
  EXPECT_TRUE(IsWindow(dialog));
  EXPECT_EQ(ControlText(dialog, lightTwoZLabel), "-1234");
  PostMessageA(message, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(message); }));
  EXPECT_TRUE(StaysRunning(run));

  // With the registry writable again, OK stores the edits still in the dialog.
  RegDeleteTreeA(HKEY_CURRENT_USER, kelvarnKeyPath);
  PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  EXPECT_EQ(WaitForExit(run), 0u);
  std::vector<uint8_t> stored;
  DWORD type = 0;
  ASSERT_TRUE(ReadSettingsValue(stored, type));
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  ASSERT_EQ(stored.size(), settingsRecordSize);
  SettingsRecord read, expected = DefaultsWith(100);
  SettingsFromBytes(stored.data(), stored.size(), read);
  expected.light2Z = -1234;
  expected.showPalette = 1;
  // The clock fields hold the tick counts of the last frames; the rest is exact.
  for (const SettingsField& field : settingsFields) {
    if (field.kind == ControlKind::none) continue;
    EXPECT_EQ(read.*field.member, expected.*field.member) << field.name;
  }
  EXPECT_EQ(read.eyeX, 0);
}

TEST_F(HostileSettings, TextPasswordSwitchIsReadAsItsNumber) {
  const struct {
    const char* text;
    DWORD questions;
  } cases[] = {{"0", 0}, {"1", 1}};
  ASSERT_TRUE(PlaceStandin(SystemFolder()));
  ASSERT_NE(SetSaverRunning(true), 0);  // a value the saver would change if it touched the state
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ResetStandin("A");  // approves every question
    ASSERT_TRUE(SetUserValue("Control Panel\\Desktop", "ScreenSaveUsePassword", REG_SZ, c.text, 2));
    StartSaverOrFail();
    PostKey(saver.window, 'X');
    EXPECT_EQ(WaitForExit(run), 0u);
    EXPECT_EQ(StandinNumber("Calls"), c.questions);
    EXPECT_EQ(StoredSaverRunningState(), c.questions == 0 ? 1 : 0) << "without a password it is left alone";
  }
}

TEST_F(HostileSettings, SettingsModeDialogHasTheKeyboardAtOnce) {
  const struct {
    WORD key;
    bool stores;
  } cases[] = {{VK_ESCAPE, false}, {VK_RETURN, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    DeleteSettingsKey();
    HWND dialog = StartSettingsMode();
    ASSERT_NE(dialog, nullptr);
    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    ASSERT_TRUE(WaitUntil([&] { return FocusOfProgram() == first && GetForegroundWindow() == dialog; }, 5000))
        << FocusOfProgram() << " " << GetForegroundWindow();
    PressKey(VK_TAB);
    EXPECT_TRUE(WaitUntil([&] { return FocusOfProgram() == GetNextDlgTabItem(dialog, first, FALSE); }, 5000));
    PressKey(c.key);
    EXPECT_EQ(WaitForExit(run, 5000), 0u);
    std::vector<uint8_t> stored;
    EXPECT_EQ(ReadStoredSettings(stored), c.stores);
  }
}

}  // namespace
