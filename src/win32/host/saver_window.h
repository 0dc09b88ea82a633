// saver_window.h - the saver window: full screen or inside a preview parent.
//
// RunSaverWindow registers "WindowsScreenSaverClass", makes either the
// topmost full-screen "Screen Saver" window on the primary monitor, with a
// window of its own over every other monitor (cover_windows.h), or a
// "Preview" child filling a parent's client area, and runs its message loop
// (which hands the settings dialog its keys). SaverWindowProc sees every
// message first and hands the rest to the scene (ScreenSaverProc), which
// passes what it leaves to SaverInputProc: there a key, a click or mouse
// travel beyond mouseThreshold requests a close, and WM_CLOSE asks for the
// password (password.h) before the window may go.
#pragma once

#include <windows.h>

#include <cstdint>

#include "win32/session/session.h"

constexpr char saverClassName[] = "WindowsScreenSaverClass";
constexpr char saverFullScreenTitle[] = "Screen Saver";
constexpr char saverPreviewTitle[] = "Preview";

// Runs the saver until its window is destroyed. parent null: full screen.
// Returns the quit code (0); 0 at once when a full-screen saver already runs
// (it is brought to the front); -1 when no window could be made.
int32_t RunSaverWindow(Session& session, HWND parent);

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SaverInputProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
