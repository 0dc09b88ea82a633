// cover_windows.h - windows over the monitors the scene window leaves.
//
// The full-screen scene window covers the primary monitor only. When the
// saver starts, OpenCoverWindows reads the monitors once (EnumDisplayMonitors)
// and gives every other one (cover_geometry.h) a window of that monitor's
// rectangle: a topmost popup without caption or cursor, just below the scene
// window, that never takes the activation from it. Each is a view of the
// session: with Every monitor on it shows a scene of its own, at its own
// size, drawn by the scene window's timer at the same tick; with it off it
// is black. Input on it is posted on to the scene window, so it counts
// exactly as input there: the key sequence, mouse travel, the close request
// and the password question. With one monitor nothing is made.
// CloseCoverWindows destroys them all when the saver ends.
#pragma once

#include <windows.h>

#include "win32/session/session.h"

constexpr char coverClassName[] = "VimbrelCoverClass";

void OpenCoverWindows(Session& session);
void CloseCoverWindows(Session& session);
