// Hostile stored settings and a refusing registry never trap the user of the
// real program: a frame time whose timer never fires cannot keep the saver
// from ending after the dialog, a refused write is told and keeps the edits,
// a text password switch is read as its number, and the dialog has the
// keyboard as soon as it appears.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "config_ui/configure_dialog_win32.h"
#include "support/harness.h"
#include "support/host_tools.h"

namespace {

constexpr char kelvarnKeyPath[] = "Software\\Kelvarn";
const int lightTwoZ = Control("light2Z"), lightTwoZLabel = Label("light2Z");

class HostileSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveUsePasswordFlag();
    hadSettings = ReadSettingsValue(savedSettings, savedType);
    SetCursorPos(500, 400);
  }
  void TearDown() override {
    EndProgram(run);
    RegDeleteTreeA(HKEY_CURRENT_USER, kelvarnKeyPath);  // a volatile key of the save test goes with it
    if (hadSettings) WriteSettingsValue(savedSettings, savedType);
    RemoveUsePasswordFlag();
    RemoveStandin(SystemFolder());
  }
  void StartSaverProgram() {
    SaverRun saver = StartSaver("/s");
    run = saver.run;
    saverWindow = saver.window;
  }
  HWND StartSettingsMode() {
    run = StartProgram("/c");
    return run.started ? WaitForProcessWindow(run.process.dwProcessId, nullptr, "Screen Saver Properties") : nullptr;
  }
  HWND FocusOfProgram() {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(run.process.dwThreadId, &info) ? info.hwndFocus : nullptr;
  }

  ProgramRun run = {};
  HWND saverWindow = nullptr;
  std::vector<uint8_t> savedSettings;
  DWORD savedType = 0;
  bool hadSettings = false;
};

SettingsRecord DefaultsWith(int32_t frameTime) {
  SettingsRecord record;
  SetDefaultSettings(record);
  record.frameTime = frameTime;
  return record;
}

BOOL CALLBACK AppendText(HWND child, LPARAM texts) {
  char text[512] = {};
  GetWindowTextA(child, text, sizeof text);
  reinterpret_cast<std::string*>(texts)->append(text).append("\n");
  return TRUE;
}

std::string TextsOfChildren(HWND window) {
  std::string texts;
  EnumChildWindows(window, AppendText, reinterpret_cast<LPARAM>(&texts));
  return texts;
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
      {-1, false, Input::key},        {0, false, Input::click},  {INT32_MAX, false, Input::mouseMove},
      {-1, true, Input::key},         {100, false, Input::key},  // the default, as the control
  };
  for (const HoldoffCase& c : cases) {
    SCOPED_TRACE("frame time " + std::to_string(c.frameTime) + (c.resetFirst ? " after Reset" : ""));
    StoreSettings(DefaultsWith(c.frameTime));
    SetCursorPos(500, 400);
    StartSaverProgram();
    ASSERT_NE(saverWindow, nullptr);
    TypeKeySequence(saverWindow);
    HWND dialog = WaitForSettingsDialog(run.process.dwProcessId);
    ASSERT_NE(dialog, nullptr);
    if (c.resetFirst) PostMessageA(dialog, WM_COMMAND, resetToDefaultsId, 0);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    // The input is held off for five default frame periods after the dialog
    // closes; given again and again, it must end the saver soon after.
    EXPECT_TRUE(WaitUntil([&] {
      if (c.input == Input::key) PostKey(saverWindow, 'X');
      if (c.input == Input::click) PostClick(saverWindow);
      if (c.input == Input::mouseMove) MoveMouse(saverWindow, 600, 500);
      return HasEnded(run);
    }, 3000));
    EXPECT_EQ(WaitForExit(run, 3000), 0u);
  }
}

TEST_F(HostileSettings, RefusedSaveIsToldAndKeepsTheDialogWithItsEdits) {
  DeleteSettingsKey();
  RegDeleteTreeA(HKEY_CURRENT_USER, kelvarnKeyPath);
  HKEY volatileKey;  // a volatile key takes no lasting subkey: creating the settings key fails
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kelvarnKeyPath, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, &volatileKey, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(volatileKey);
  HWND dialog = StartSettingsMode();
  ASSERT_NE(dialog, nullptr);
  MoveTrackbar(dialog, lightTwoZ, -1234);
  PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);

  HWND message = WaitForProcessWindow(run.process.dwProcessId, "#32770", saveFailureCaption, 5000);
  ASSERT_NE(message, nullptr);
  EXPECT_NE(TextsOfChildren(message).find("Vimbrel could not save its settings."), std::string::npos)
      << TextsOfChildren(message);
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
  ASSERT_TRUE(ReadStoredSettings(stored));
  SettingsRecord read;
  SettingsFromBytes(stored.data(), stored.size(), read);
  EXPECT_EQ(read.light2Z, -1234);
}

TEST_F(HostileSettings, TextPasswordSwitchIsReadAsItsNumber) {
  const struct {
    const char* text;
    DWORD questions;
  } cases[] = {{"0", 0}, {"1", 1}};
  ASSERT_TRUE(PlaceStandin(SystemFolder()));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ResetStandin("A");  // approves every question
    HKEY desktop;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &desktop, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(desktop, "ScreenSaveUsePassword", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.text), 2);
    RegCloseKey(desktop);
    StartSaverProgram();
    ASSERT_NE(saverWindow, nullptr);
    PostKey(saverWindow, 'X');
    EXPECT_EQ(WaitForExit(run), 0u);
    EXPECT_EQ(StandinNumber("Calls"), c.questions);
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

TEST_F(HostileSettings, DialogOverTheSaverHasTheKeyboard) {
  StartSaverProgram();
  ASSERT_NE(saverWindow, nullptr);
  TypeKeySequence(saverWindow);
  HWND dialog = WaitForSettingsDialog(run.process.dwProcessId);
  ASSERT_NE(dialog, nullptr);
  HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
  EXPECT_TRUE(WaitUntil([&] { return FocusOfProgram() == first; }, 5000)) << FocusOfProgram();
}

}  // namespace
