// cover_windows.h - windows over the monitors the scene window leaves.
//
// The full-screen scene window covers the primary monitor only. When the
// saver starts, OpenCoverWindows reads the monitors (EnumDisplayMonitors)
// and gives every other one (cover_geometry.h) a window of that monitor's
// rectangle: a topmost popup without caption or cursor, just below the scene
// window, that never takes the activation from it. Each is a view of the
// session: with Every monitor on it shows a scene of its own, at its own
// size, drawn by the scene window's timer at the same tick; with it off it
// is black. Input on it is posted on to the scene window, so it counts
// exactly as input there: the key sequence, mouse travel, the close request
// and the password question. With one monitor nothing is made.
// The monitors change under a running saver (a monitor plugged in or out, a
// resolution changed, another primary): FollowMonitorLayout lays the windows
// out again, the scene window over the primary at its new size and one
// cover per other monitor: a cover whose monitor is unchanged stays as it
// is, the others are moved to the monitors that changed or came, new ones
// are made for the rest and those left over destroyed; every window whose
// size changed has its scene made anew at its size. The saver window calls it on WM_DISPLAYCHANGE, and
// WatchMonitorLayout on its frame timer, since not every system sends that
// message. CloseCoverWindows destroys them all when the saver ends.
#pragma once

#include <windows.h>

#include "win32/host/host_state.h"

constexpr char coverClassName[] = "VimbrelCoverClass";

constexpr uint32_t layoutCheckInterval = 1000;  // ms between two readings of the monitors on the frame timer

void OpenCoverWindows(Session& session, HostState& hostState);
// Reads the monitors and lays the windows out again where they changed;
// wholeAnew: every scene made again, changed or not
// (the display's colour depth may have changed too).
void FollowMonitorLayout(Session& session, HostState& hostState, bool wholeAnew);
// FollowMonitorLayout(session, hostState, false) when the last reading is at
// least layoutCheckInterval old.
void WatchMonitorLayout(Session& session, HostState& hostState);
void CloseCoverWindows(Session& session);
