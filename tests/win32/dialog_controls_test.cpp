// The settings dialog over a stand-in scene window: controls show the record,
// moved controls write it at once, the frame timer follows Frame time, and
// OK, Cancel and Reset to Defaults keep or store the record as they should,
// in settings mode and over a running saver.
#include <gtest/gtest.h>

#include <cstring>

#include "config_ui/configure_dialog_win32.h"
#include "scene/scene_window_win32.h"
#include "scene/settings_record.h"
#include "support/dialog_support.h"
#include "support/harness.h"

namespace {

// A record unlike the defaults in every field, inside every trackbar's range,
// with clock fields that only whole-record copies carry.
SettingsRecord UnusualRecord() {
  SettingsRecord record;
  int i = 0;
  for (const SettingsField& field : settingsFields) {
    ++i;
    int32_t& value = record.*field.member;
    if (field.kind == ControlKind::trackbar)
      value = field.minimum + (field.maximum - field.minimum) / 3 + i;
    else if (field.kind == ControlKind::checkBox)
      value = field.defaultValue == 0 ? 1 : 0;
    else
      value = 1000 * i + 7;
  }
  return record;
}

bool SameRecord(const SettingsRecord& a, const SettingsRecord& b) { return BytesOf(a) == BytesOf(b); }

// The gaps between frameTimer ticks seen so far, once there are two.
DWORD LastTickGap() {
  const std::vector<DWORD>& ticks = standInScene.timerTicks;
  return ticks.size() < 2 ? 0 : ticks.back() - ticks[ticks.size() - 2];
}

class SettingsDialog : public ::testing::Test {
 protected:
  HWND dialog = nullptr;

  void SetUp() override {
    IsolateCurrentUser();
    DeleteSettingsKey();
    ResetSceneDriver();
    ResetConfigureDialog();
    SetDefaultSettings();
    CreateStandInScene();
  }

  void TearDown() override {
    if (IsWindow(dialog)) DestroyWindow(dialog);
    DestroyStandInScene();
  }

  void Open() {
    dialog = OpenDialogOver(standInScene.window);
    ASSERT_NE(dialog, nullptr);
  }

  void ExpectControlsShow(const SettingsRecord& record) {
    for (const SettingsField& field : settingsFields) {
      SCOPED_TRACE(field.name);
      const int32_t value = record.*field.member;
      if (field.kind == ControlKind::trackbar) {
        EXPECT_EQ(ControlText(dialog, field.labelId), Decimal(value));
        EXPECT_EQ(TrackbarPosition(dialog, field.controlId), value);
      } else if (field.kind == ControlKind::checkBox) {
        EXPECT_EQ(IsDlgButtonChecked(dialog, field.controlId), static_cast<UINT>(value));
      }
    }
  }

  bool NothingStored() {
    std::vector<uint8_t> bytes;
    return !ReadStoredSettings(bytes);
  }
};

TEST_F(SettingsDialog, OpeningShowsTheRecordAndHoldsInputOff) {
  const SettingsRecord record = UnusualRecord();
  SceneSettings = record;
  ASSERT_LT(record.eyeZ, 0);
  Open();
  ExpectControlsShow(record);  // negative values too, with their minus sign
  EXPECT_EQ(ControlText(dialog, 1039), Decimal(record.eyeZ));
  EXPECT_EQ(ControlText(dialog, 1039)[0], '-');
  EXPECT_TRUE(SameRecord(configureDialog.settingsSnapshot, record));
  EXPECT_TRUE(SameRecord(SceneSettings, record)) << "opening changed the record";
  EXPECT_EQ(sceneDriver.inputHoldoff, 100);
}

// A stored value outside its trackbar's range is left alone until the
// trackbar is moved; its label shows the stored number meanwhile.
TEST_F(SettingsDialog, StoredValueOutsideTheRangeKeepsItsValueUntilMoved) {
  SceneSettings.frameTime = 5;
  SceneSettings.eyeZ = -20000;
  SceneSettings.light1Y = 3000;
  Open();
  EXPECT_EQ(ControlText(dialog, 1053), "5");
  EXPECT_EQ(ControlText(dialog, 1039), "-20000");
  EXPECT_EQ(ControlText(dialog, 1043), "3000");
  EXPECT_EQ(TrackbarPosition(dialog, 1052), 20);
  EXPECT_EQ(TrackbarPosition(dialog, 1038), -10000);
  EXPECT_EQ(TrackbarPosition(dialog, 1042), 2000);
  EXPECT_EQ(SceneSettings.frameTime, 5);
  EXPECT_EQ(SceneSettings.eyeZ, -20000);
  EXPECT_EQ(SceneSettings.light1Y, 3000);
  MoveTrackbar(dialog, 1052, 300);
  EXPECT_EQ(SceneSettings.frameTime, 300);
  EXPECT_EQ(ControlText(dialog, 1053), "300");
  EXPECT_EQ(SceneSettings.eyeZ, -20000) << "another trackbar's field changed";
}

// Every trackbar, to both ends and a middle value, reported with every kind
// of notification: its field and label follow at once, no other field moves.
TEST_F(SettingsDialog, MovingATrackbarWritesItsFieldAndLabelAtOnce) {
  Open();
  const WORD notifications[] = {TB_THUMBTRACK, TB_LINEDOWN, TB_PAGEUP, TB_THUMBPOSITION,
                                TB_TOP,        TB_BOTTOM,   TB_ENDTRACK};
  size_t n = 0;
  for (const SettingsField& field : settingsFields) {
    if (field.kind != ControlKind::trackbar) continue;
    SCOPED_TRACE(field.name);
    for (int32_t position : {field.minimum, field.maximum, field.minimum + (field.maximum - field.minimum) / 2 + 1}) {
      SettingsRecord expected = SceneSettings;
      expected.*field.member = position;
      MoveTrackbar(dialog, field.controlId, position, notifications[n++ % 7]);
      EXPECT_EQ(SceneSettings.*field.member, position);
      EXPECT_EQ(ControlText(dialog, field.labelId), Decimal(position));
      EXPECT_TRUE(SameRecord(SceneSettings, expected)) << "another field changed";
    }
  }
  EXPECT_EQ(SceneSettings.eyeZ, -10000 + (-3000 + 10000) / 2 + 1);
}

TEST_F(SettingsDialog, ClickingACheckBoxWritesItsField) {
  Open();
  for (const SettingsField& field : settingsFields) {
    if (field.kind != ControlKind::checkBox) continue;
    SCOPED_TRACE(field.name);
    for (int click = 0; click < 2; ++click) {
      SettingsRecord expected = SceneSettings;
      expected.*field.member = 1 - expected.*field.member;
      ClickControl(dialog, field.controlId);
      EXPECT_TRUE(SameRecord(SceneSettings, expected));
      EXPECT_EQ(IsDlgButtonChecked(dialog, field.controlId), static_cast<UINT>(SceneSettings.*field.member));
    }
  }
}

// frameTimer runs at 1000 ms as the scene started it; Frame time at 20 must
// bring ticks at once, back at 1000 they slow down again.
TEST_F(SettingsDialog, FrameTimeTrackbarRestartsTheFrameTimer) {
  SceneSettings.frameTime = 1000;
  SetTimer(standInScene.window, frameTimerId, 1000, nullptr);
  Open();
  MoveTrackbar(dialog, 1052, 20);
  standInScene.timerTicks.clear();
  EXPECT_TRUE(PumpUntil([] { return standInScene.timerTicks.size() >= 10; }, 4000))
      << standInScene.timerTicks.size() << " ticks";
  MoveTrackbar(dialog, 1052, 1000, TB_ENDTRACK);
  standInScene.timerTicks.clear();
  ASSERT_TRUE(PumpUntil([] { return standInScene.timerTicks.size() >= 2; }, 5000));
  EXPECT_GE(LastTickGap(), 700u);
}

// Reset shows the defaults and puts them in the record, keeps the snapshot,
// stores nothing, and leaves frameTimer at its old period.
TEST_F(SettingsDialog, ResetToDefaultsShowsDefaultsButKeepsTheTimerAndSnapshot) {
  SettingsRecord opened = UnusualRecord();
  opened.frameTime = 1000;
  SceneSettings = opened;
  SetTimer(standInScene.window, frameTimerId, 1000, nullptr);
  Open();
  MoveTrackbar(dialog, 1004, 100);
  ClickControl(dialog, resetToDefaultsId);
  SettingsRecord defaults;
  SetDefaultSettings(defaults);
  EXPECT_TRUE(SameRecord(SceneSettings, defaults));
  ExpectControlsShow(defaults);
  EXPECT_TRUE(SameRecord(configureDialog.settingsSnapshot, opened));
  EXPECT_EQ(configureDialog.defaultsPending, 0);
  EXPECT_EQ(sceneDriver.inputHoldoff, 100);
  EXPECT_TRUE(IsWindow(dialog));
  EXPECT_TRUE(NothingStored());
  standInScene.timerTicks.clear();
  ASSERT_TRUE(PumpUntil([] { return standInScene.timerTicks.size() >= 2; }, 5000));
  EXPECT_GE(LastTickGap(), 700u) << "Reset restarted frameTimer at the default 100 ms";
}

TEST_F(SettingsDialog, CancelAfterResetRestoresTheOpeningRecordAndStoresNothing) {
  const SettingsRecord opened = UnusualRecord();
  SceneSettings = opened;
  sceneDriver.previewMode = 1;
  Open();
  MoveTrackbar(dialog, 1040, 0);
  ClickControl(dialog, 1058);
  ClickControl(dialog, resetToDefaultsId);
  MoveTrackbar(dialog, 1052, 500);
  ClickControl(dialog, IDCANCEL);
  EXPECT_TRUE(SameRecord(SceneSettings, opened));
  EXPECT_EQ(sceneDriver.inputHoldoff, 5);
  EXPECT_EQ(sceneDriver.keySequencePos, 0);
  EXPECT_EQ(sceneDriver.previewMode, 1);
  EXPECT_TRUE(PumpUntil([] { return !IsWindow(standInScene.window); }, 5000)) << "the scene window was not closed";
  EXPECT_EQ(standInScene.closeRequests, 1);
  EXPECT_FALSE(IsWindow(dialog)) << "the dialog outlived its owner";
  EXPECT_TRUE(NothingStored());
}

// Closing the dialog by its caption is a Cancel.
TEST_F(SettingsDialog, CaptionCloseIsACancel) {
  const SettingsRecord opened = UnusualRecord();
  SceneSettings = opened;
  sceneDriver.previewMode = 1;
  Open();
  MoveTrackbar(dialog, 1004, 50);
  SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // posts the Cancel command
  EXPECT_TRUE(PumpUntil([] { return standInScene.closeRequests == 1; }, 5000));
  EXPECT_TRUE(SameRecord(SceneSettings, opened));
  EXPECT_TRUE(NothingStored());
}

// OK in settings mode: exactly the record's 152 bytes go to the registry,
// the dialog goes and the scene window is asked to close.
TEST_F(SettingsDialog, OkStoresTheRecordAndClosesSettingsMode) {
  SceneSettings = UnusualRecord();
  sceneDriver.previewMode = 1;
  sceneDriver.keySequencePos = 3;
  Open();
  MoveTrackbar(dialog, 1038, -10000);
  ClickControl(dialog, 1055);
  const SettingsRecord edited = SceneSettings;
  ClickControl(dialog, IDOK);
  EXPECT_FALSE(IsWindow(dialog));
  std::vector<uint8_t> stored;
  ASSERT_TRUE(ReadStoredSettings(stored));
  EXPECT_EQ(stored, BytesOf(edited));
  EXPECT_TRUE(SameRecord(SceneSettings, edited));
  EXPECT_EQ(sceneDriver.inputHoldoff, 5);
  EXPECT_EQ(sceneDriver.keySequencePos, 0);
  EXPECT_TRUE(PumpUntil([] { return standInScene.closeRequests == 1; }, 5000));
}

TEST_F(SettingsDialog, ResetThenOkStoresTheDefaults) {
  SceneSettings = UnusualRecord();
  sceneDriver.previewMode = 1;
  Open();
  ClickControl(dialog, resetToDefaultsId);
  ClickControl(dialog, IDOK);
  SettingsRecord defaults;
  SetDefaultSettings(defaults);
  std::vector<uint8_t> stored;
  ASSERT_TRUE(ReadStoredSettings(stored));
  EXPECT_EQ(stored, BytesOf(defaults));
}

// Over a running saver (previewMode 0) OK keeps the saver running.
TEST_F(SettingsDialog, OkOverARunningSaverKeepsItRunning) {
  sceneDriver.keySequencePos = 5;  // the whole key sequence was typed
  Open();
  MoveTrackbar(dialog, 1022, 20);
  ClickControl(dialog, IDOK);
  EXPECT_FALSE(IsWindow(dialog));
  PumpPending();
  EXPECT_EQ(standInScene.closeRequests, 0);
  EXPECT_TRUE(IsWindow(standInScene.window));
  EXPECT_EQ(sceneDriver.previewMode, 0);
  EXPECT_EQ(sceneDriver.keySequencePos, 0);
  EXPECT_EQ(sceneDriver.inputHoldoff, 5);
  EXPECT_EQ(SceneSettings.dodecaRadius, 20);
  std::vector<uint8_t> stored;
  ASSERT_TRUE(ReadStoredSettings(stored));
  EXPECT_EQ(stored, BytesOf(SceneSettings));
}

// Over a running saver Cancel puts the record back, removes the dialog at
// once and asks the saver to close by its ordinary path: previewMode stays 0
// so that the saver's own close handling (the password question) runs.
TEST_F(SettingsDialog, CancelOverARunningSaverClosesItByTheOrdinaryPath) {
  const SettingsRecord opened = UnusualRecord();
  SceneSettings = opened;
  sceneDriver.keySequencePos = 5;
  Open();
  MoveTrackbar(dialog, 1048, 250);
  ClickControl(dialog, IDCANCEL);
  EXPECT_FALSE(IsWindow(dialog)) << "the dialog must go even if the saver keeps running";
  EXPECT_TRUE(SameRecord(SceneSettings, opened));
  EXPECT_EQ(sceneDriver.previewMode, 0);
  EXPECT_EQ(sceneDriver.keySequencePos, 0);
  EXPECT_EQ(sceneDriver.inputHoldoff, 5);
  EXPECT_TRUE(PumpUntil([] { return standInScene.closeRequests == 1; }, 5000));
  EXPECT_TRUE(NothingStored());
}

}  // namespace
