// scene_window_win32.h - the scene's window procedure and the state it
// shares with the settings dialog and the saver host.
//
// ScreenSaverProc runs the scene in whichever window registers it (the
// settings-mode "Spinner" window, or the saver window through the host's
// SaverWindowProc): settings on WM_CREATE, the scene built on the first
// paint, one frame per paint, frameTimer invalidating every frameTime ms,
// palette realisation, the hidden key sequence that opens the settings dialog
// over a running saver, and inputHoldoff that keeps input from ending the
// saver while the dialog is open and for a few frame periods after it closes. The scene calls nothing above it: the
// layers above hand it what to call (inputFallback, openSettingsDialog).
#pragma once

#include <windows.h>

#include <cstdint>

struct SceneDriver {
  HINSTANCE instanceHandle;
  HWND sceneWindow;   // the window that runs the scene
  HWND dialogWindow;  // the modeless settings dialog last opened; may be stale
  int32_t firstPaint;    // 1 until the first WM_PAINT
  int32_t previewMode;   // 1: settings mode, input goes to DefWindowProcA
  int32_t inputHoldoff;  // 100 while the dialog is open, then 5 counted down by holdoffTimer
  int32_t keySequencePos;
  int32_t sceneReady;    // 1 once InitialiseScene succeeded
  HPALETTE scenePalette;
  // Outside settings mode, what the scene leaves of a message goes here (the
  // host's input rules); null: DefWindowProcA.
  WNDPROC inputFallback;
  // Opens the settings dialog over the scene window; null: no dialog.
  void (*openSettingsDialog)(HWND sceneWindow);
  int32_t framePeriod;  // the period frameTimer was last started with (0: not yet)
};

extern SceneDriver sceneDriver;
extern const char keySequence[6];  // "ZKVMQ"

constexpr UINT_PTR frameTimerId = 1;
constexpr UINT_PTR holdoffTimerId = 2;
constexpr int32_t holdoffDialogOpen = 100;
constexpr int32_t holdoffAfterDialog = 5;

extern "C" __declspec(dllexport) LRESULT CALLBACK ScreenSaverProc(HWND window, UINT message, WPARAM wParam,
                                                                  LPARAM lParam);

int InitialiseScene(HWND window);

// Starts (or restarts) frameTimer on the window with the frame time as its period.
void StartFrameTimer(HWND window, int32_t frameTime);
// Holds input off for holdoffAfterDialog frame periods from now. They are
// counted by holdoffTimer, not by frameTimer, and a frame time outside the
// dialog's range counts as the default one: a stored frame time that the
// system takes as days cannot keep the saver from ending.
void HoldInputAfterDialog();

// Back to the state of a fresh process, keeping the instance and the
// callbacks (tests only).
void ResetSceneDriver();
