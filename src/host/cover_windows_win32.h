// cover_windows_win32.h - black windows over the monitors the scene leaves.
//
// The full-screen scene window covers the primary monitor only. When the
// saver starts, OpenCoverWindows reads the monitors once (EnumDisplayMonitors)
// and gives every other one (cover_geometry.h) a cover: a topmost black popup
// without caption or cursor, just below the scene window, that never takes
// the activation from it. Input on a cover is posted on to the scene window,
// so it counts exactly as input there: the key sequence, mouse travel, the
// close request and the password question. With one monitor nothing is made.
// CloseCoverWindows destroys them all when the saver ends.
#pragma once

#include <windows.h>

constexpr char coverClassName[] = "VimbrelCoverClass";

void OpenCoverWindows(HWND sceneWindow);
void CloseCoverWindows();

LRESULT CALLBACK CoverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
