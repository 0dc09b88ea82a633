// scene_window.h - the scene's window procedure.
//
// ScreenSaverProc runs the scene in whichever window registers it (the
// settings-mode "Spinner" window, or the saver window through the host's
// SaverWindowProc), with the Session it was made with: settings on
// WM_CREATE, the window's scene made at its first paint, frameTimer drawing
// every scene of the session every frameTime ms, palette realisation, the
// hidden key sequence that opens the settings dialog over a running saver,
// and inputHoldoff that keeps input from ending the saver while the dialog is
// open and for a few frame periods after it closes. The scene calls nothing
// above it: the layers above hand it what to call (the session's
// inputFallback and openSettingsDialog).
//
// The other monitors' windows (win32/host/cover_windows.h) paint through
// PaintSceneView: their own scene at their own size, or black.
#pragma once

#include <windows.h>

#include <cstdint>

#include "win32/session/session.h"

extern const char keySequence[6];  // "ZKVMQ"

constexpr UINT_PTR frameTimerId = 1;
constexpr UINT_PTR holdoffTimerId = 2;
constexpr int32_t holdoffDialogOpen = 100;
constexpr int32_t holdoffAfterDialog = 5;

extern "C" __declspec(dllexport) LRESULT CALLBACK
    ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Starts (or restarts) frameTimer on the scene window with the frame time as its period.
void StartFrameTimer(Session& session, int32_t frameTime);
// Holds input off for holdoffAfterDialog frame periods from now. They are
// counted by holdoffTimer, not by frameTimer, and a frame time outside the
// dialog's range counts as the default one: a stored frame time that the
// system takes as days cannot keep the saver from ending.
void HoldInputAfterDialog(Session& session);

// The paint of view i's window: its scene's frame, or black.
void PaintSceneView(Session& session, int32_t view);
// After view i's window changed size: its scene is freed and made again at
// the new size by the window's next paint (the scene window's paint also
// starts the frames again).
void RemakeViewScene(Session& session, int32_t index);
// Every view painted whole, each with a frame composed for that paint (after
// the display slept).
void ShowWholeFrames(Session& session);
// After Every monitor changed: the other monitors' windows are painted anew.
void RepaintOtherMonitors(Session& session);
