// session.h - everything the Win32 program keeps while it runs.
//
// One Session per process run, owned by the mode that runs (HostMain's
// frame, or a test) and handed to every window it makes: a window finds it
// in its user data, put there from the creation parameter at WM_NCCREATE, and
// the settings dialog in its DWLP_USER, from the dialog's creation parameter.
// Nothing here is global. The session holds the settings record being shown
// and edited, the scene windows (one scene per window: the saver's or the
// settings-mode window first, then one per other monitor), the state the
// scene's window procedure keeps between messages, the saver host's state
// and the dialog's snapshot.
#pragma once

#include <windows.h>

#include <cstdint>

#include "win32/image/palette_gdi.h"
#include "win32/portable/cover_geometry.h"
#include "core/image/shown_frame.h"
#include "core/scene/scene.h"
#include "core/scene/settings_record.h"

using AssociateContextEntry = HANDLE(WINAPI*)(HWND window, HANDLE context);  // ImmAssociateContext
using VerifyPasswordEntry = BOOL(WINAPI*)(HWND window);                      // VerifyScreenSavePwd

// One window's scene and the way its frames reach the screen.
struct SceneView {
  HWND window;
  Scene scene;
  GdiPalette gdiPalette;  // the scene palette as GDI holds it
  ShownFrame shown;       // a true-colour display's copy of the window; empty on a palette display
  bool frameFresh;        // the timer composed a frame since the last paint
  bool sceneTried;        // the scene was made (or failed) at the window's first paint
};

constexpr int32_t maxOtherMonitors = 15;  // monitors beyond the scene window's; any further ones stay as they are
constexpr int32_t maxSceneViews = 1 + maxOtherMonitors;

// What the saver host (host/) keeps between messages.
struct HostState {
  int32_t childPreview;   // 1: the saver runs inside another program's window
  POINT cursorReference;  // mouse travel is measured from here
  // The input-method link, detached while the saver window lives.
  HMODULE imeModule;
  AssociateContextEntry associateContextEntry;
  HANDLE savedImeContext;
  // The password question.
  HMODULE passwordLibrary;
  VerifyPasswordEntry verifierEntry;  // set means a password is in use
  int32_t checkingPassword;           // 1 while the question is under way
  int32_t closeApproved;              // 1 once a close was approved; never goes back
  uint32_t lastCheckTick;             // tick at which the last question ended
  // The screens as the windows were last laid out: placed[i] is where views[i]'s
  // window was put (placed[0] the scene window at 0,0).
  CoverPlace placed[maxSceneViews];
  uint32_t lastLayoutCheckTick;  // when the monitors were last compared with placed
  // The display sleeps (monitor power off or low): no frame is composed.
  bool displayAsleep;
  HANDLE displayStateNotification;  // the console display state registration; null: none
  UINT_PTR previewWatchTimer;       // the thread timer that looks for a preview's parent; 0: none
  HWND previewParent;               // the window a preview runs in
};

constexpr uint32_t noQuestionYet = 0xFFFFFFFFu;  // lastCheckTick before the first question

// What the settings dialog keeps while it is open.
struct DialogState {
  SettingsRecord settingsSnapshot;  // the whole record as it was when the dialog opened
  int32_t everyMonitorSnapshot;
  int32_t defaultsPending;  // 1 between Reset to Defaults and the re-initialisation it sends
};

struct Session {
  HINSTANCE instance;
  SceneClock clock;         // running: GetTickCount
  SettingsRecord settings;  // shown at once by every scene, edited live by the dialog
  int32_t everyMonitor;     // 1: every monitor shows the scene; 0: the others are black

  SceneView views[maxSceneViews];  // views[0]: the window that runs the scene and its timer
  int32_t viewCount;

  HWND dialogWindow;     // the modeless settings dialog last opened; may be stale
  int32_t previewMode;   // 1: settings mode, input goes to DefWindowProcA
  int32_t inputHoldoff;  // 100 while the dialog is open, then 5 counted down by holdoffTimer
  int32_t keySequencePos;
  int32_t framePeriod;  // the period frameTimer was last started with (0: not yet)
  // Outside settings mode, what the scene leaves of a message goes here (the
  // host's input rules); null: DefWindowProcA.
  WNDPROC inputFallback;
  // Opens the settings dialog over the scene window; null: no dialog.
  void (*openSettingsDialog)(Session& session, HWND sceneWindow);

  HostState host;
  DialogState dialog;
};

// A fresh session: the settings zeroed until they are loaded, one view, no window yet.
void StartSession(Session& session, HINSTANCE instance);
// Frees every view's scene and copy.
void EndSession(Session& session);
// Frees one view's scene, copy and palette; its window stays.
void FreeViewScene(SceneView& view);

uint32_t ReadSessionTick(const Session& session);

// The window that runs the scene (views[0]); null before it is made.
inline HWND SceneWindow(const Session& session) { return session.views[0].window; }
// The index of the window's view; -1 when it has none.
int32_t ViewOf(const Session& session, HWND window);

// The session a window was made with (null before its WM_NCCREATE), and
// keeping it there from the creation parameters.
Session* SessionOf(HWND window);
void AttachSession(HWND window, LPARAM createStruct);
