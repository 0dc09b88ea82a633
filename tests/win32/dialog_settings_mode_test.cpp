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
            EXPECT_EQ(ControlText(Dialog(), Label("dodecaCentreX")), "-300");  // the stored record, loaded on creation
            EXPECT_EQ(ControlText(Dialog(), Label("pyramidRadius")), "200");
            sawWindow = true;
          }),
      // While the dialog is open every paint shows the arrow, whatever the pointer was.
      Act("another pointer", [] { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }),
      {"the arrow again", [] { return GetCursor() == LoadCursorA(nullptr, IDC_ARROW); }},
      Act("move a trackbar", [] { MoveTrackbar(Dialog(), Control("pyramidRadius"), 55); }),
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
            ClickControl(Dialog(), Control("pyramidShow"));
            ClickControl(Dialog(), Control("dodecaShow"));
            ClickControl(Dialog(), Control("showShadows"));
          }),
      {"a bare frame", [] { return FrameIsBareBackground(); }},
      Act("show the grid", [] { ClickControl(Dialog(), Control("showGrid")); }),
      {"the grid drawn", [] { return !FrameIsBareBackground(); }},
      Act("close", [] { PostMessageA(sceneDriver.sceneWindow, WM_CLOSE, 0, 0); }),
  });
  EXPECT_EQ(result, 0);
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
