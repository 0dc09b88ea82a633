// Settings mode as the program runs it: RunConfigurePreview's maximised
// window with the live scene and the dialog over it, driven from a script of
// steps that runs on a thread timer inside the program's own message loop.
// Keys are posted to the focused control, as the keyboard would deliver them.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "win32/config_ui/configure_dialog.h"
#include "win32/config_ui/preview_window.h"
#include "win32/resources/resource_ids.h"
#include "support/harness.h"

namespace {

constexpr DWORD stepDeadlineMs = 15000;

// One step: run() acts and/or checks a condition, and returns true when the
// step is done; a step that is not done by its deadline fails the test and
// ends settings mode.
struct Step {
  const char* name;
  std::function<bool()> run;
};

struct Script {
  std::vector<Step> steps;
  size_t current;
  DWORD stepStart;
};
Script script;
// The session settings mode runs with; the script's thread timer has no other way to it.
Session session;

void CALLBACK ScriptTick(HWND, UINT, UINT_PTR, DWORD) {
  const bool stepsLeft = script.current < script.steps.size();
  if (GetTickCount() - script.stepStart > stepDeadlineMs) {
    ADD_FAILURE() << (stepsLeft ? std::string("step timed out: ") + script.steps[script.current].name
                                : "settings mode did not end after the last step");
    script.current = script.steps.size();
    script.stepStart = GetTickCount();
    // Ends settings mode now: its window closed, or its loop told to end.
    IsWindow(SceneWindow(session)) ? void(DestroyWindow(SceneWindow(session))) : PostQuitMessage(99);
    return;
  }
  if (!stepsLeft || !script.steps[script.current].run()) return;
  ++script.current;
  script.stepStart = GetTickCount();
}

// Runs settings mode with the script; returns RunConfigurePreview's result.
int RunSettingsMode(std::vector<Step> steps) {
  script = {std::move(steps), 0, GetTickCount()};
  const UINT_PTR timer = SetTimer(nullptr, 0, 15, ScriptTick);
  const int result = RunConfigurePreview(session);
  KillTimer(nullptr, timer);
  EXPECT_EQ(script.current, script.steps.size()) << "the program ended before the script did";
  return result;
}

HWND Dialog() { return session.dialogWindow; }
const Scene& SceneShown() { return session.views[0].scene; }
bool FrameDrawn() { return SceneReady(SceneShown()) && session.settings.pyramidTurnTick != 0; }

bool FrameIsBareBackground() {
  const Scene& scene = SceneShown();
  const size_t bytes = static_cast<size_t>(scene.frameStride) * scene.frameHeight;
  return std::memcmp(scene.framePixels, scene.backgroundImage.pixels.get(), bytes) == 0;
}

Step WaitForLiveScene() {
  return {"the scene runs with the dialog over it",
          [] { return IsWindow(Dialog()) && IsWindowVisible(Dialog()) && FrameDrawn(); }};
}

Step Act(const char* name, std::function<void()> action) {
  return {name, [action] {
            action();
            return true;
          }};
}

class SettingsMode : public ::testing::Test {
 protected:
  SettingsRecord stored = DefaultSettings();

  void SetUp() override { DeleteSettingsKey(), StartSession(session, GetModuleHandleA(nullptr)); }
  void TearDown() override { EndSession(session), DeleteSettingsKey(); }
};

// A step that counts the frames drawn in a spell of ms (every frame
// rewrites the pyramid's turn tick), then checks their number.
Step CountFrames(const char* name, DWORD ms, std::function<void(int)> check) {
  struct Count {
    DWORD since;
    int32_t lastTick;
    int frames;
  };
  auto count = std::make_shared<Count>(Count{0, 0, 0});
  return {name, [=] {
            if (count->since == 0) {
              *count = {GetTickCount(), session.settings.pyramidTurnTick, 0};
              return false;
            }
            count->frames += session.settings.pyramidTurnTick != count->lastTick;
            count->lastTick = session.settings.pyramidTurnTick;
            if (GetTickCount() - count->since < ms) return false;
            check(count->frames);
            return true;
          }};
}

// The stored frame time is the period from the first frame on; the Frame
// time slider restarts the timer at once; Cancel puts the period back with
// the settings. A second's period shows at most two frames in 1.2 s, one of
// 50 ms several in one second.
TEST_F(SettingsMode, FramePeriodIsTheStoredOneTheSliderChangesItAndCancelPutsItBack) {
  stored.frameTime = 1000;
  StoreSettings(stored);
  const int result = RunSettingsMode({
      WaitForLiveScene(),
      CountFrames("the stored period of 1000 ms", 1200,
                  [](int frames) { EXPECT_LE(frames, 2) << "frames in 1.2 s at the stored period of 1000 ms"; }),
      Act("a period of 50 ms", [] { MoveTrackbar(Dialog(), ControlOf(FrameTimeField()).controlId, 50); }),
      CountFrames("the slider's period of 50 ms", 1000,
                  [](int frames) { EXPECT_GE(frames, 5) << "frames in 1 s after moving Frame time to 50 ms"; }),
      Act("cancel", [] { ClickControl(Dialog(), IDCANCEL); }),
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(session.settings.frameTime, 1000);
  EXPECT_EQ(session.framePeriod, 1000) << "the frame timer kept the cancelled period";
}

// What each control shows against the record: a trackbar's position and
// its label, a check box's state; every mismatch named with the control.
void ExpectControlsShow(const SettingsRecord& record, const char* when) {
  for (const SettingsField& field : settingsFields) {
    if (field.kind == ControlKind::none) continue;
    const int32_t value = record.*field.member;
    const DialogControl* row = DialogControlOf(field.member);
    if (row == nullptr) {
      ADD_FAILURE() << when << ": no control shows " << field.name;
      continue;
    }
    const DialogControl& control = *row;
    if (field.kind == ControlKind::trackbar) {
      EXPECT_EQ(SendDlgItemMessageA(Dialog(), control.controlId, TBM_GETPOS, 0, 0), value)
          << when << ": trackbar " << field.name << " (" << control.controlId << ")";
      EXPECT_EQ(ControlText(Dialog(), control.labelId), std::to_string(value))
          << when << ": label of " << field.name << " (" << control.labelId << ")";
    } else {
      EXPECT_EQ(SendDlgItemMessageA(Dialog(), control.controlId, BM_GETCHECK, 0, 0), value != 0 ? BST_CHECKED : 0)
          << when << ": check box " << field.name << " (" << control.controlId << ")";
    }
  }
}

bool EveryMonitorChecked() {
  return SendDlgItemMessageA(Dialog(), IDC_EVERY_MONITOR, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Settings mode with a record in which every control's field differs from
// its default and lies inside its range, Every monitor stored off: the
// maximised window with the dialog over it shows it at open and each change
// at the next frame, keeps the arrow and passes the keyboard on to the
// dialog; Reset to Defaults shows the defaults, Every monitor on again;
// Cancel puts back the record and Every monitor as they were.
TEST_F(SettingsMode, ShowsTheRecordAndEachChangeResetShowsTheDefaultsAndCancelPutsAllBack) {
  for (const SettingsField& field : settingsFields) {
    if (field.kind == ControlKind::trackbar)
      stored.*field.member = field.defaultValue == field.minimum ? field.maximum : field.minimum;
    else if (field.kind == ControlKind::checkBox)
      stored.*field.member = field.defaultValue != 0 ? 0 : 1;
  }
  StoreSettings(stored);
  const DWORD off = 0;
  SetUserValue(storedKeyPath, storedEveryMonitorName, REG_DWORD, &off, sizeof off);
  const int result = RunSettingsMode({
      {"the dialog over the scene", [] { return IsWindowVisible(Dialog()) && SceneReady(SceneShown()); }},
      Act("the windows and the controls at open",
          [&] {
            char title[128] = {}, name[64] = {};
            GetWindowTextA(SceneWindow(session), title, sizeof title);
            EXPECT_STREQ(title, "Ondralis Vimbrel Screen Saver Preview");
            GetClassNameA(SceneWindow(session), name, sizeof name);
            EXPECT_EQ(lstrcmpiA(name, "Spinner"), 0) << name;  // class names compare without case
            EXPECT_TRUE(IsZoomed(SceneWindow(session)));
            EXPECT_EQ(GetWindow(Dialog(), GW_OWNER), SceneWindow(session));
            ExpectControlsShow(stored, "at open");
            EXPECT_FALSE(EveryMonitorChecked()) << "at open: Every monitor, stored off";
          }),
      // The solids and shadows are off: without the grid and the palette the frame is the bare background.
      {"the grid and palette drawn", [] { return !FrameIsBareBackground(); }},
      Act("grid and palette off",
          [] {
            for (int32_t SettingsRecord::*f : {&SettingsRecord::showGrid, &SettingsRecord::showPalette})
              ClickControl(Dialog(), ControlOf(FieldOf(f)).controlId);
          }),
      {"a bare frame", [] { return FrameIsBareBackground(); }},
      Act("the scene window given the focus", [] { SetFocus(SceneWindow(session)); }),
      {"the dialog has the keyboard again", [] { return GetFocus() != nullptr && IsChild(Dialog(), GetFocus()); }},
      Act("reset to defaults", [] { ClickControl(Dialog(), resetToDefaultsId); }),
      Act("the controls after Reset",
          [] {
            ExpectControlsShow(DefaultSettings(), "after Reset");
            EXPECT_TRUE(EveryMonitorChecked()) << "after Reset: Every monitor";
            EXPECT_TRUE(session.everyMonitor) << "after Reset";
          }),
      // While the dialog is open every paint (the moving solids give them) shows the arrow, whatever the pointer was.
      Act("another pointer", [] { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }),
      {"the arrow again", [] { return GetCursor() == LoadCursorA(nullptr, IDC_ARROW); }},
      Act("cancel", [] { ClickControl(Dialog(), IDCANCEL); }),
  });
  EXPECT_EQ(result, 0);
  for (const SettingsField& field : settingsFields) {
    if (field.kind == ControlKind::none) continue;
    EXPECT_EQ(session.settings.*field.member, stored.*field.member) << "after Cancel: " << field.name;
  }
  EXPECT_FALSE(session.everyMonitor) << "after Cancel: Every monitor";
  std::vector<uint8_t> bytes;
  ReadStoredSettings(bytes);
  EXPECT_EQ(bytes, SettingsToBytes(stored)) << "Cancel wrote the settings";
}

}  // namespace

namespace {

LRESULT CALLBACK RefuseWindows(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) return 1;  // CreateWindowEx fails
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(99); }  // a loop that never ends

// Without its window settings mode has nothing that could ever end its loop:
// it must give up at once and say so.
TEST_F(SettingsMode, WithoutItsWindowTheModeEndsAtOnceWithAFailure) {
  HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseWindows, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  const UINT_PTR guard = SetTimer(nullptr, 0, 10000, GiveUp);
  const int result = RunConfigurePreview(session);
  UnhookWindowsHookEx(hook);
  KillTimer(nullptr, guard);
  EXPECT_NE(result, 0);
  EXPECT_EQ(SceneWindow(session), nullptr);
  EXPECT_FALSE(IsWindow(session.dialogWindow));
}

}  // namespace
