// session.h - what every part of the Win32 program shares while it runs.
//
// One Session per process run, owned by the mode that runs (HostMain's
// frame, or a test) and handed to every window it makes: a window finds it
// in its user data, put there from the creation parameter at WM_NCCREATE.
// Nothing here is global. The session holds what more than one part reads
// or writes: the settings record being shown and edited, Every monitor, the
// views (one scene per window, each with its place on the screen: the
// saver's or the settings-mode window first, then one per other monitor),
// and the state the scene's window procedure keeps between messages.
//
// What one part alone keeps lives with that part: the saver host's state
// (HostState, win32/host/host_state.h) in the frame of the saver's run, and
// the settings dialog's (win32/config_ui/configure_dialog.cpp) with the
// dialog window. The session only points at the host's, so that the host's
// window procedures reach it from a window; it never reads it, and includes
// nothing above it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "win32/image/palette_gdi.h"
#include "win32/portable/cover_geometry.h"
#include "core/image/shown_frame.h"
#include "core/scene/scene.h"
#include "core/scene/settings_record.h"

struct HostState;  // the saver host's own (win32/host/host_state.h)

// One window's scene, where the window is, and the way its frames reach the screen.
struct SceneView {
  HWND window = nullptr;
  CoverPlace place = {};  // where the window was last put (the scene window at 0,0)
  Scene scene = {};
  GdiPalette gdiPalette = {};  // the scene palette as GDI holds it
  ShownFrame shown = {};       // a true-colour display's copy of the window; empty on a palette display
  bool frameFresh = false;     // the timer composed a frame since the last paint
  bool sceneTried = false;     // the scene was made (or failed) at the window's first paint
};

constexpr int32_t maxOtherMonitors = 15;  // monitors beyond the scene window's; any further ones stay as they are
constexpr int32_t maxSceneViews = 1 + maxOtherMonitors;

// Every monitor shows the scene, unless the user stored otherwise.
constexpr bool defaultEveryMonitor = true;

// Where input goes that the scene leaves.
enum class SessionMode {
  saver,     // to the session's inputFallback: the host's rules end the saver
  settings,  // to DefWindowProcA: settings mode never ends on input
};

struct Session {
  HINSTANCE instance = nullptr;
  SceneClock clock = {};                    // running: GetTickCount
  SettingsRecord settings = {};             // shown at once by every scene, edited live by the dialog
  bool everyMonitor = defaultEveryMonitor;  // false: the monitors beside the scene window's are black

  SceneView views[maxSceneViews];  // views[0]: the window that runs the scene and its timer
  int32_t viewCount = 1;

  SessionMode mode = SessionMode::saver;
  HWND dialogWindow = nullptr;  // the modeless settings dialog last opened; may be stale
  int32_t inputHoldoff = 0;     // holdoffDialogOpen while the dialog is open, then counted down by holdoffTimer
  int32_t keySequencePos = 0;
  int32_t framePeriod = 0;  // the period frameTimer was last started with (0: not yet)
  // Outside settings mode, what the scene leaves of a message goes here (the
  // host's input rules); null: DefWindowProcA.
  WNDPROC inputFallback = nullptr;
  // Opens the settings dialog over the scene window; null: no dialog.
  void (*openSettingsDialog)(Session& session, HWND sceneWindow) = nullptr;
  // The saver host's state while a saver runs (owned by the host); null otherwise.
  HostState* host = nullptr;
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
