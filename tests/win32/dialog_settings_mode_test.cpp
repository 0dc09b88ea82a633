// Settings mode as the program runs it: RunConfigurePreview's maximised
// window with the live scene and the dialog over it, driven from a script of
// steps that runs on a thread timer inside the program's own message loop.
// Keys are posted to the focused control, as the keyboard would deliver them.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "config_ui/configure_dialog_win32.h"
#include "config_ui/preview_window_win32.h"
#include "scene/scene_state.h"
#include "scene/scene_window_win32.h"
#include "scene/settings_record.h"
#include "support/dialog_support.h"
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

void EndSettingsModeNow() {
  if (IsWindow(sceneDriver.sceneWindow))
    DestroyWindow(sceneDriver.sceneWindow);
  else
    PostQuitMessage(99);
}

void CALLBACK ScriptTick(HWND, UINT, UINT_PTR, DWORD) {
  if (GetTickCount() - script.stepStart > stepDeadlineMs) {
    if (script.current < script.steps.size())
      ADD_FAILURE() << "step timed out: " << script.steps[script.current].name;
    else
      ADD_FAILURE() << "settings mode did not end after the last step";
    script.current = script.steps.size();
    script.stepStart = GetTickCount();
    EndSettingsModeNow();
    return;
  }
  if (script.current >= script.steps.size()) return;
  if (!script.steps[script.current].run()) return;
  ++script.current;
  script.stepStart = GetTickCount();
}

// Runs settings mode with the script; returns RunConfigurePreview's result.
int RunSettingsMode(std::vector<Step> steps) {
  script = {std::move(steps), 0, GetTickCount()};
  const UINT_PTR timer = SetTimer(nullptr, 0, 15, ScriptTick);
  const int result = RunConfigurePreview(GetModuleHandleA(nullptr));
  KillTimer(nullptr, timer);
  EXPECT_EQ(script.current, script.steps.size()) << "the program ended before the script did";
  return result;
}

HWND Dialog() { return sceneDriver.dialogWindow; }
HWND Focus() { return GetFocus(); }
int FocusId() { return GetDlgCtrlID(GetFocus()); }

void PressKey(WPARAM key) {
  HWND target = GetFocus() != nullptr ? GetFocus() : Dialog();
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

bool FrameDrawn() { return sceneDriver.sceneReady == 1 && SceneSettings.pyramidTurnTick != 0; }

bool FrameIsBareBackground() {
  const size_t bytes = static_cast<size_t>(scene.frameStride) * scene.frameHeight;
  return std::memcmp(scene.framePixels, scene.backgroundImage->pixels, bytes) == 0;
}

// Counts frames by the pyramid's turn tick, which every frame with the
// pyramid shown and turning rewrites with the current tick count.
struct FrameCounter {
  int32_t lastTick = 0;
  int frames = 0;
  void Poll() {
    if (SceneSettings.pyramidTurnTick != lastTick) ++frames;
    lastTick = SceneSettings.pyramidTurnTick;
  }
};

Step WaitForLiveScene() {
  return {"the scene runs with the dialog over it",
          [] { return IsWindow(Dialog()) && IsWindowVisible(Dialog()) && FrameDrawn(); }};
}

// The user clicks into the dialog: the preview window was activated after
// the dialog opened, so the dialog has to be activated to take keys.
Step ActivateDialog() {
  return {"the dialog takes the focus", [] {
            SetForegroundWindow(Dialog());
            SetActiveWindow(Dialog());
            return IsChild(Dialog(), Focus());
          }};
}

Step Act(const char* name, std::function<void()> action) {
  return {name, [action] {
            action();
            return true;
          }};
}

class SettingsMode : public ::testing::Test {
 protected:
  SettingsRecord stored;

  void SetUp() override {
    IsolateCurrentUser();
    DeleteSettingsKey();
    ResetSceneDriver();
    ResetConfigureDialog();
    std::memset(&SceneSettings, 0, sizeof SceneSettings);
    SetDefaultSettings(stored);
    stored.dodecaCentreX = -300;
    stored.pyramidRadius = 200;
    stored.frameTime = 50;
    StoreSettings(stored);
  }

  std::vector<uint8_t> Stored() {
    std::vector<uint8_t> bytes;
    ReadStoredSettings(bytes);
    return bytes;
  }
};

TEST_F(SettingsMode, OpensTheDialogOverTheLiveSceneAndCloseStoresNothing) {
  bool sawWindow = false;
  const int result = RunSettingsMode({
      WaitForLiveScene(),
      Act("check the windows",
          [&] {
            char title[128] = {};
            GetWindowTextA(sceneDriver.sceneWindow, title, sizeof title);
            EXPECT_STREQ(title, "Ondralis Vimbrel Screen Saver Preview");
            EXPECT_EQ(ClassOf(sceneDriver.sceneWindow), LowerCase(previewClassName));
            EXPECT_TRUE(IsZoomed(sceneDriver.sceneWindow));
            EXPECT_EQ(GetWindow(Dialog(), GW_OWNER), sceneDriver.sceneWindow);
            EXPECT_EQ(sceneDriver.previewMode, 1);
            EXPECT_EQ(sceneDriver.inputHoldoff, 100);
            EXPECT_EQ(ControlText(Dialog(), 1027), "-300");  // the stored record, loaded on creation
            EXPECT_EQ(ControlText(Dialog(), 1005), "200");
            sawWindow = true;
          }),
      // While the dialog is open every paint shows the arrow, whatever the pointer was.
      Act("another pointer", [] { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }),
      {"the arrow again", [] { return GetCursor() == LoadCursorA(nullptr, IDC_ARROW); }},
      Act("move a trackbar", [] { MoveTrackbar(Dialog(), 1004, 55); }),
      Act("close the preview window", [] { PostMessageA(sceneDriver.sceneWindow, WM_CLOSE, 0, 0); }),
  });
  EXPECT_TRUE(sawWindow);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(SceneSettings.pyramidRadius, 55);
  EXPECT_EQ(Stored(), BytesOf(stored)) << "closing the window wrote the settings";
}

// A change shows in the next frame: with both solids and the shadows off the
// frame is the bare background; the grid puts something on it again.
TEST_F(SettingsMode, TheNextFrameShowsEachChange) {
  const int result = RunSettingsMode({
      WaitForLiveScene(),
      {"solids drawn", [] { return !FrameIsBareBackground(); }},
      Act("hide the solids and shadows",
          [] {
            ClickControl(Dialog(), 1057);
            ClickControl(Dialog(), 1056);
            ClickControl(Dialog(), 1058);
          }),
      {"a bare frame", [] { return FrameIsBareBackground(); }},
      Act("show the grid", [] { ClickControl(Dialog(), 1055); }),
      {"the grid drawn", [] { return !FrameIsBareBackground(); }},
      Act("close", [] { PostMessageA(sceneDriver.sceneWindow, WM_CLOSE, 0, 0); }),
  });
  EXPECT_EQ(result, 0);
}

// Frame time 1000 ms as stored; moved to 20 ms, ten frames come well within
// the time that two would take before.
TEST_F(SettingsMode, FrameTimeChangesTheFrameRateAtOnce) {
  stored.frameTime = 1000;
  StoreSettings(stored);
  FrameCounter counter;
  DWORD movedAt = 0, tenFramesAt = 0;
  const int result = RunSettingsMode({
      WaitForLiveScene(),
      Act("move Frame time to 20",
          [&] {
            counter.lastTick = SceneSettings.pyramidTurnTick;
            MoveTrackbar(Dialog(), 1052, 20, TB_ENDTRACK);
            movedAt = GetTickCount();
          }),
      {"ten frames",
       [&] {
         counter.Poll();
         tenFramesAt = GetTickCount();
         return counter.frames >= 10;
       }},
      Act("close", [] { PostMessageA(sceneDriver.sceneWindow, WM_CLOSE, 0, 0); }),
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(SceneSettings.frameTime, 20);
  EXPECT_LT(tenFramesAt - movedAt, 5000u) << "frames still come at the old period";
}

// Tab walks the tab stops in template order and round again; Enter on a
// focused push button presses it (Reset to Defaults); Escape is Cancel.
TEST_F(SettingsMode, TabEnterAndEscapeWorkInTheDialog) {
  DialogTemplate compiled;
  ASSERT_TRUE(ReadDialogTemplate(2003, compiled));
  std::vector<int> tabStops;
  for (const TemplateControl& control : compiled.controls)
    if (control.style & WS_TABSTOP) tabStops.push_back(control.id);
  ASSERT_EQ(tabStops.size(), 32u);
  std::vector<int> visited;
  int lastFocus = 0;
  SettingsRecord defaults;
  SetDefaultSettings(defaults);
  const int result = RunSettingsMode({
      WaitForLiveScene(),
      ActivateDialog(),
      Act("note the first focus", [&] { visited.push_back(lastFocus = FocusId()); }),
      {"Tab round the dialog",
       [&] {
         if (FocusId() != lastFocus) visited.push_back(lastFocus = FocusId());
         if (visited.size() > tabStops.size()) return true;
         if (FocusId() == lastFocus && !(GetQueueStatus(QS_POSTMESSAGE) & QS_POSTMESSAGE)) PressKey(VK_TAB);
         return false;
       }},
      {"Tab to Reset to Defaults",
       [] {
         if (FocusId() == resetToDefaultsId) return true;
         if (!(GetQueueStatus(QS_POSTMESSAGE) & QS_POSTMESSAGE)) PressKey(VK_TAB);
         return false;
       }},
      Act("Enter", [] { PressKey(VK_RETURN); }),
      {"the defaults shown", [&] { return ControlText(Dialog(), 1027) == "-273"; }},
      Act("Escape", [] { PressKey(VK_ESCAPE); }),
  });
  EXPECT_EQ(result, 0);
  ASSERT_EQ(visited.size(), tabStops.size() + 1);
  EXPECT_EQ(visited.front(), tabStops.front());
  for (size_t i = 0; i < tabStops.size(); ++i) EXPECT_EQ(visited[i], tabStops[i]) << "tab stop " << i;
  EXPECT_EQ(visited.back(), tabStops.front()) << "Tab does not wrap round";
  // Escape was Cancel: the record as loaded, the registry as it was.
  EXPECT_EQ(BytesOf(SceneSettings), BytesOf(stored));
  EXPECT_EQ(Stored(), BytesOf(stored));
}

// Enter with a trackbar focused acts as OK: the edited record is stored.
TEST_F(SettingsMode, EnterOnATrackbarIsOk) {
  const int result = RunSettingsMode({
      WaitForLiveScene(),
      ActivateDialog(),
      Act("move Eye Z", [] { MoveTrackbar(Dialog(), 1038, -9000); }),
      {"a trackbar focused", [] { return ClassOf(Focus()) == "msctls_trackbar32"; }},
      Act("Enter", [] { PressKey(VK_RETURN); }),
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(SceneSettings.eyeZ, -9000);
  const std::vector<uint8_t> bytes = Stored();
  EXPECT_EQ(bytes.size(), settingsRecordSize);
  EXPECT_EQ(bytes, BytesOf(SceneSettings));
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
  const int result = RunConfigurePreview(GetModuleHandleA(nullptr));
  UnhookWindowsHookEx(hook);
  KillTimer(nullptr, guard);
  EXPECT_NE(result, 0);
  EXPECT_EQ(sceneDriver.sceneWindow, nullptr);
  EXPECT_FALSE(IsWindow(sceneDriver.dialogWindow));
}

}  // namespace
