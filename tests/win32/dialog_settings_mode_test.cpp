// Settings mode as the program runs it: RunConfigurePreview's maximised
// window with the live scene and the dialog over it, driven from a script of
// steps that runs on a thread timer inside the program's own message loop.
// Keys are posted to the focused control, as the keyboard would deliver them.
#include <gtest/gtest.h>

#include <cstring>

#include "win32/config_ui/configure_dialog.h"
#include "win32/config_ui/preview_window.h"
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
  return std::memcmp(scene.framePixels, scene.backgroundImage->pixels, bytes) == 0;
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
  SettingsRecord stored;

  void SetUp() override {
    DeleteSettingsKey();
    StartSession(session, GetModuleHandleA(nullptr));
    SetDefaultSettings(stored);
    stored.dodecaCentreX = -300;
    stored.pyramidRadius = 200;
    stored.frameTime = 50;
    StoreSettings(stored);
  }

  void TearDown() override { EndSession(session), DeleteSettingsKey(); }
};

TEST_F(SettingsMode, OpensTheDialogOverTheLiveSceneShowsEachChangeAndCloseStoresNothing) {
  bool sawWindow = false;
  const int result = RunSettingsMode({
      WaitForLiveScene(),
      Act("check the windows",
          [&] {
            char title[128] = {};
            GetWindowTextA(SceneWindow(session), title, sizeof title);
            EXPECT_STREQ(title, "Ondralis Vimbrel Screen Saver Preview");
            char name[64] = {};
            GetClassNameA(SceneWindow(session), name, sizeof name);
            EXPECT_EQ(lstrcmpiA(name, previewClassName), 0) << name;  // class names compare without case
            EXPECT_TRUE(IsZoomed(SceneWindow(session)));
            EXPECT_EQ(GetWindow(Dialog(), GW_OWNER), SceneWindow(session));
            EXPECT_EQ(session.previewMode, 1);
            EXPECT_EQ(session.inputHoldoff, 100);
            // The stored record, loaded on creation.
            EXPECT_EQ(ControlText(Dialog(), FieldOf(&SettingsRecord::dodecaCentreX).labelId), "-300");
            EXPECT_EQ(ControlText(Dialog(), FieldOf(&SettingsRecord::pyramidRadius).labelId), "200");
            sawWindow = true;
          }),
      // While the dialog is open every paint shows the arrow, whatever the pointer was.
      Act("another pointer", [] { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }),
      {"the arrow again", [] { return GetCursor() == LoadCursorA(nullptr, IDC_ARROW); }},
      // A change shows in the next frame: with both solids and the shadows off
      // the frame is the bare background; the grid puts something on it again.
      {"solids drawn", [] { return !FrameIsBareBackground(); }},
      Act("hide the solids and shadows",
          [] {
            for (int32_t SettingsRecord::*f :
                 {&SettingsRecord::pyramidShow, &SettingsRecord::dodecaShow, &SettingsRecord::showShadows})
              ClickControl(Dialog(), FieldOf(f).controlId);
          }),
      {"a bare frame", [] { return FrameIsBareBackground(); }},
      Act("show the grid", [] { ClickControl(Dialog(), FieldOf(&SettingsRecord::showGrid).controlId); }),
      {"the grid drawn", [] { return !FrameIsBareBackground(); }},
      Act("move a trackbar", [] { MoveTrackbar(Dialog(), FieldOf(&SettingsRecord::pyramidRadius).controlId, 55); }),
      Act("close the preview window", [] { PostMessageA(SceneWindow(session), WM_CLOSE, 0, 0); }),
  });
  EXPECT_TRUE(sawWindow);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(session.settings.pyramidRadius, 55);
  std::vector<uint8_t> bytes;
  ReadStoredSettings(bytes);
  EXPECT_EQ(bytes, SettingsToBytes(stored)) << "closing the window wrote the settings";
}

// The Frame time slider restarts the frame timer at once: a second's period
// shows at most one new frame in 1.2 s, and the stored 50 ms period many.
// Cancel puts the period back with the settings.
TEST_F(SettingsMode, FrameTimeSliderSetsThePeriodAndCancelPutsItBack) {
  // Frames are counted by the pyramid's turn tick, which every frame rewrites.
  int32_t lastTick = 0;
  int frames = 0;
  DWORD since = 0;
  const int result = RunSettingsMode({
      WaitForLiveScene(),
      Act("a period of a second", [] { MoveTrackbar(Dialog(), FrameTimeField().controlId, 1000); }),
      {"few frames",
       [&] {
         if (since == 0) since = GetTickCount(), lastTick = session.settings.pyramidTurnTick;
         frames += session.settings.pyramidTurnTick != lastTick;
         lastTick = session.settings.pyramidTurnTick;
         if (GetTickCount() - since < 1200) return false;
         EXPECT_LE(frames, 1) << "the period stayed short";
         return true;
       }},
      Act("cancel", [] { ClickControl(Dialog(), IDCANCEL); }),
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(session.settings.frameTime, 50);
  EXPECT_EQ(session.framePeriod, 50) << "the frame timer kept the cancelled period";
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
