// display_power.h - the full-screen saver while the display sleeps.
//
// A display that is off or in low power shows nothing, so the saver composes
// no frame until it is on again; input still ends the saver at once. The
// saver window learns it from WM_SYSCOMMAND SC_MONITORPOWER (1 low, 2 off,
// -1 on; passed on to the default handling as ever), from WM_POWERBROADCAST
// (a resume from suspend means the display is on) and, on systems that have
// it, from the console display state notification (Windows 8 on; Vista and 7
// have the monitor power notification instead). Those entries are looked up
// at run time: older systems simply do not have them. While it sleeps the
// frame timer is gone: displayAsleepTimer, once a second, only watches the
// monitors. When the display is on again the frame timer starts anew and
// every window is painted whole with a frame of that moment.
#pragma once

#include <windows.h>

#include "win32/host/host_state.h"

constexpr UINT_PTR displayAsleepTimerId = 3;  // on the scene window, beside frameTimerId and holdoffTimerId

// Registers the window for the display state notification, where the system has one.
void WatchDisplayPower(HostState& hostState, HWND window);
void StopWatchingDisplayPower(HostState& hostState);

// SC_MONITORPOWER's lParam: 1 low power, 2 off, -1 on.
void OnMonitorPower(Session& session, HostState& hostState, LPARAM state);
// WM_POWERBROADCAST; returns what the message returns.
LRESULT OnPowerBroadcast(Session& session, HostState& hostState, WPARAM event, LPARAM data);
