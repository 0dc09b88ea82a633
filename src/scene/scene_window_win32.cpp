// scene_window_win32.cpp - the scene's window procedure.
//
// Each message is one line of the procedure's table, calling a handler with
// the parameters unpacked. The scene itself (pictures, palette, frame
// composition) is the portable core; this file builds it from the program's
// resources and GDI on the first paint and copies every frame to the window
// through the scene palette.
#include "scene/scene_window_win32.h"

#include <commctrl.h>

#include "image/palette_gdi_win32.h"
#include "image/resource_win32.h"
#include "resources/resource_ids.h"
#include "scene/scene_clock.h"
#include "scene/scene_frame.h"
#include "scene/scene_state.h"
#include "scene/settings_record.h"
#include "scene/settings_registry_win32.h"

SceneDriver sceneDriver = {nullptr, nullptr, nullptr, 1, 0, 0, 0, 0, nullptr, nullptr, nullptr, 0};
const char keySequence[6] = "ZKVMQ";

namespace {

uint32_t ReadSystemTick() { return GetTickCount(); }

LRESULT FallThrough(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (sceneDriver.previewMode == 1 || sceneDriver.inputFallback == nullptr)
    return DefWindowProcA(window, message, wParam, lParam);
  return sceneDriver.inputFallback(window, message, wParam, lParam);
}

void OpenSettingsDialog(HWND window) {
  if (sceneDriver.openSettingsDialog != nullptr) sceneDriver.openSettingsDialog(window);
}

LRESULT OnCreate(HWND window) {
  LoadSettings();  // the defaults when nothing usable is stored
  InitCommonControls();
  if (sceneDriver.previewMode == 1) OpenSettingsDialog(window);
  return 0;
}

LRESULT OnDestroy(HWND window) {
  KillTimer(window, frameTimerId);
  PostQuitMessage(0);
  return 0;
}

bool HoldingOffAfterDialog() { return sceneDriver.inputHoldoff > 0 && sceneDriver.inputHoldoff < holdoffDialogOpen; }

LRESULT CountDownHoldoff(HWND window) {
  if (HoldingOffAfterDialog()) --sceneDriver.inputHoldoff;
  if (!HoldingOffAfterDialog()) KillTimer(window, holdoffTimerId);  // run out, or the dialog is open again
  return 0;
}

LRESULT OnTimer(HWND window, UINT_PTR timerId) {
  if (timerId == holdoffTimerId) return CountDownHoldoff(window);
  InvalidateRect(window, nullptr, FALSE);  // the frame covers everything: never erase
  return 0;
}

// The holdoff's tick: the frame period, or the default frame time for a
// period the dialog cannot set (the frame timer may then never fire).
UINT HoldoffTickPeriod() {
  const SettingsField* field = FindSettingsField("frameTime");
  const int32_t period = sceneDriver.framePeriod;
  const bool dialogCouldSetIt = period >= field->minimum && period <= field->maximum;
  return static_cast<UINT>(dialogCouldSetIt ? period : field->defaultValue);
}

void ShowFrame(HDC dc) {
  SelectPalette(dc, sceneDriver.scenePalette, FALSE);
  RealizePalette(dc);
  DrawSceneFrame();
  SetDIBitsToDevice(dc, 0, 0, scene.frameWidth, scene.frameHeight, 0, 0, 0, scene.frameHeight,
                    scene.framePixels, reinterpret_cast<const BITMAPINFO*>(scene.frameBuffer->paletteIndexHeader),
                    DIB_PAL_COLORS);
}

LRESULT OnPaint(HWND window) {
  if (sceneDriver.inputHoldoff == holdoffDialogOpen) SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (sceneDriver.firstPaint == 1) {
    sceneDriver.firstPaint = 0;
    if (InitialiseScene(window) != 1) {
      EndPaint(window, &paint);
      PostMessageA(window, WM_DESTROY, 0, 0);
      return 0;
    }
  }
  if (sceneDriver.sceneReady == 1) ShowFrame(dc);  // never draw after a failed initialisation
  EndPaint(window, &paint);
  return 0;
}

LRESULT OnKeyDown(HWND window, WPARAM key, LPARAM lParam) {
  if (sceneDriver.inputHoldoff != 0) return DefWindowProcA(window, WM_KEYDOWN, key, lParam);
  // Bounded by the terminator: the position never passes it.
  const char expected = keySequence[sceneDriver.keySequencePos];
  if (expected == '\0') return 0;  // the dialog was opened and has not been closed yet
  if (key == static_cast<WPARAM>(static_cast<int32_t>(static_cast<signed char>(expected)))) {
    ++sceneDriver.keySequencePos;
    if (keySequence[sceneDriver.keySequencePos] != '\0') return 0;
    sceneDriver.previewMode = 0;
    OpenSettingsDialog(window);
    return 0;
  }
  sceneDriver.keySequencePos = 0;
  return FallThrough(window, WM_KEYDOWN, key, lParam);
}

LRESULT OnMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (sceneDriver.inputHoldoff != 0) return DefWindowProcA(window, message, wParam, lParam);
  return FallThrough(window, message, wParam, lParam);
}

// In settings mode the keyboard belongs to the open dialog: when the scene
// window is given the focus (shown, activated, clicked) it passes it on.
LRESULT OnSetFocus(HWND window, WPARAM lostBy, LPARAM lParam) {
  if (sceneDriver.previewMode == 1 && IsWindowVisible(sceneDriver.dialogWindow)) {  // hidden while it is destroyed
    SetFocus(sceneDriver.dialogWindow);  // the dialog gives it to its own control
    return 0;
  }
  return FallThrough(window, WM_SETFOCUS, lostBy, lParam);
}

LRESULT OnQueryNewPalette(HWND window) {
  HDC dc = GetDC(window);
  SelectPalette(dc, sceneDriver.scenePalette, FALSE);  // refused while there is no palette yet
  RealizePalette(dc);
  ReleaseDC(window, dc);
  return 1;
}

LRESULT OnPaletteChanged(HWND window, HWND changedBy, WPARAM wParam, LPARAM lParam) {
  if (changedBy == window) return FallThrough(window, WM_PALETTECHANGED, wParam, lParam);
  return OnQueryNewPalette(window);
}

}  // namespace

extern "C" LRESULT CALLBACK ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_DESTROY: return OnDestroy(window);
    case WM_PAINT: return OnPaint(window);
    case WM_TIMER: return OnTimer(window, static_cast<UINT_PTR>(wParam));
    case WM_KEYDOWN: return OnKeyDown(window, wParam, lParam);
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: return OnMouse(window, message, wParam, lParam);
    case WM_SETFOCUS: return OnSetFocus(window, wParam, lParam);
    case WM_PALETTECHANGED: return OnPaletteChanged(window, reinterpret_cast<HWND>(wParam), wParam, lParam);
    case WM_QUERYNEWPALETTE: return OnQueryNewPalette(window);
    default: return FallThrough(window, message, wParam, lParam);
  }
}

namespace {

void ReportMissingPicture() { MessageBoxA(nullptr, "Missing image file", "Screensaver Error", MB_OK); }

}  // namespace

int InitialiseScene(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  static GdiPalette gdiPalette;
  const PaletteBackend backend = GdiPaletteBackend(gdiPalette);
  const SceneInitResult result = InitialiseSceneCore(
      client.right - client.left, client.bottom - client.top,
      LoadBitmapResourceBytes(sceneDriver.instanceHandle, IDB_FLOOR),
      LoadBitmapResourceBytes(sceneDriver.instanceHandle, IDB_FACE_PATTERN), backend);
  sceneDriver.scenePalette = gdiPalette.palette;
  if (result == SceneInitResult::missingPicture) ReportMissingPicture();
  if (result != SceneInitResult::ok) return 0;
  sceneTickSource = ReadSystemTick;
  StartFrameTimer(window, SceneSettings.frameTime);
  sceneDriver.sceneReady = 1;
  return 1;
}

void StartFrameTimer(HWND window, int32_t frameTime) {
  // The period as the system reads it: a negative frame time is a huge one.
  SetTimer(window, frameTimerId, static_cast<UINT>(frameTime), nullptr);  // fails only without a window
  sceneDriver.framePeriod = frameTime;
}

void HoldInputAfterDialog() {
  sceneDriver.inputHoldoff = holdoffAfterDialog;
  // Without its timer the holdoff would never end: input is then not held off at all.
  if (SetTimer(sceneDriver.sceneWindow, holdoffTimerId, HoldoffTickPeriod(), nullptr) == 0) sceneDriver.inputHoldoff = 0;
}

void ResetSceneDriver() {
  const SceneDriver kept = sceneDriver;
  sceneDriver = {kept.instanceHandle, nullptr, nullptr, 1, 0, 0, 0, 0, nullptr, kept.inputFallback,
                 kept.openSettingsDialog, 0};
  ResetSceneState();
}
