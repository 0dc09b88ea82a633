// The real program in settings mode: its dialog, driven from this process,
// stores exactly the edited record with OK and the program ends with 0.
#include <gtest/gtest.h>

#include "scene/settings_record.h"
#include "support/harness.h"

namespace {

TEST(SettingsProgram, OkStoresTheEditedRecordAndEndsWithZero) {
  DeleteSettingsKey();
  ProgramRun run = StartProgram("/c");
  ASSERT_TRUE(run.started);
  HWND dialog = WaitForProcessWindow(run.process.dwProcessId, nullptr, "Screen Saver Properties");
  ASSERT_NE(dialog, nullptr);
  ASSERT_NE(WaitForProcessWindow(run.process.dwProcessId, "Spinner", nullptr), nullptr);
  EXPECT_EQ(ControlText(dialog, Label("dodecaCentreX")), "-273");  // no stored record: the defaults
  MoveTrackbar(dialog, Control("light2Z"), -1234);             // Light 2 Z
  EXPECT_EQ(ControlText(dialog, Label("light2Z")), "-1234");
  ClickControl(dialog, Control("showPalette"));  // Palette on
  PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  EXPECT_EQ(WaitForExit(run), 0u);
  std::vector<uint8_t> stored;
  DWORD type = 0;
  ASSERT_TRUE(ReadSettingsValue(stored, type));
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  SettingsRecord expected;
  SetDefaultSettings(expected);
  expected.light2Z = -1234;
  expected.showPalette = 1;
  ASSERT_EQ(stored.size(), settingsRecordSize);
  SettingsRecord read;
  SettingsFromBytes(stored.data(), stored.size(), read);
  // The clock fields hold the tick counts of the last frames; the rest is exact.
  for (const SettingsField& field : settingsFields) {
    if (field.kind != ControlKind::none) {
      EXPECT_EQ(read.*field.member, expected.*field.member) << field.name;
    }
  }
  EXPECT_EQ(read.eyeX, 0);
  DeleteSettingsKey();
}

}  // namespace
