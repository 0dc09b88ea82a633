// scene_window_win32.cpp - the scene's window procedure.
//
// Each message is one line of the procedure's table, calling a handler with
// the parameters unpacked. The scene itself (pictures, palette, frame
// composition) is the portable core; this file builds it from the program's
// resources and GDI on the first paint and puts every frame on the window.
//
// On a palette display a paint composes the frame and copies it whole
// through the realised palette. On a true-colour display the frame timer
// composes the frame, converts the pixels of its change list that changed
// into a 32-bit copy of the screen (image/shown_frame.h) and invalidates only
// rectangles around them; a paint copies its update region from that copy,
// which is always the whole current frame, so an exposure is drawn right too.
#include "scene/scene_window_win32.h"

#include <commctrl.h>

#include "image/palette_gdi_win32.h"
#include "image/resource_win32.h"
#include "image/shown_frame.h"
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

// The true-colour display's copy of the screen; empty on a palette display
// (and where it could not be made, which then takes the palette path).
struct TrueColourScreen {
  ShownFrame shown;
  bool frameFresh;  // the timer composed a frame since the last paint
};
TrueColourScreen trueColourScreen = {};

bool ShowsThroughCopy() { return trueColourScreen.shown.pixels != nullptr; }

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

// Invalidates the rectangles as one region: one request instead of one per
// rectangle. Without the region (no memory) each is invalidated alone.
void InvalidateBands(HWND window, const ShownBand* bands, int32_t count) {
  if (count <= 0) return;
  struct {
    RGNDATAHEADER header;
    RECT rects[maxShownBands];
  } data = {};
  data.header.dwSize = sizeof data.header;
  data.header.iType = RDH_RECTANGLES;
  data.header.nCount = static_cast<DWORD>(count);
  RECT& bound = data.header.rcBound;
  bound = {bands[0].left, bands[0].top, bands[0].right, bands[0].bottom};
  for (int32_t i = 0; i < count; ++i) {
    const ShownBand& b = bands[i];
    data.rects[i] = {b.left, b.top, b.right, b.bottom};
    bound = {b.left < bound.left ? b.left : bound.left, b.top < bound.top ? b.top : bound.top,
             b.right > bound.right ? b.right : bound.right, b.bottom > bound.bottom ? b.bottom : bound.bottom};
  }
  HRGN region = ExtCreateRegion(nullptr, static_cast<DWORD>(sizeof data.header + count * sizeof(RECT)),
                                reinterpret_cast<const RGNDATA*>(&data));
  if (region != nullptr) {
    InvalidateRgn(window, region, FALSE);  // the copy covers everything: never erase
    DeleteObject(region);
    return;
  }
  for (int32_t i = 0; i < count; ++i) InvalidateRect(window, &data.rects[i], FALSE);
}

// Composes a frame, brings the copy to it and invalidates the rectangles it changed.
void ComposeIntoCopy(HWND window) {
  DrawSceneFrame();
  ShownBand bands[maxShownBands];
  const int32_t count = UpdateShownFrame(trueColourScreen.shown, scene.framePixels, scene.frameStride,
                                         FrameChanges(scene.spanTables), bands);
  InvalidateBands(window, bands, count);
}

LRESULT OnTimer(HWND window, UINT_PTR timerId) {
  if (timerId == holdoffTimerId) return CountDownHoldoff(window);
  if (!ShowsThroughCopy()) {
    InvalidateRect(window, nullptr, FALSE);  // the frame covers everything: never erase
    return 0;
  }
  ComposeIntoCopy(window);
  trueColourScreen.frameFresh = true;
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

void ShowFrameThroughPalette(HDC dc) {
  SelectPalette(dc, sceneDriver.scenePalette, FALSE);
  RealizePalette(dc);
  DrawSceneFrame();
  SetDIBitsToDevice(dc, 0, 0, scene.frameWidth, scene.frameHeight, 0, 0, 0, scene.frameHeight,
                    scene.framePixels, reinterpret_cast<const BITMAPINFO*>(scene.frameBuffer->paletteIndexHeader),
                    DIB_PAL_COLORS);
}

// Copies the painted rectangle from the copy; the system clips it to the
// update region. The picture handed over is just the rectangle's rows, so
// that where its rows start is never in question.
void ShowRowsOfCopy(HDC dc, const RECT& painted) {
  const ShownFrame& shown = trueColourScreen.shown;
  const int32_t top = painted.top < 0 ? 0 : painted.top;
  const int32_t bottom = painted.bottom > shown.height ? shown.height : painted.bottom;
  const int32_t left = painted.left < 0 ? 0 : painted.left;
  const int32_t right = painted.right > shown.width ? shown.width : painted.right;
  if (top >= bottom || left >= right) return;
  BITMAPINFO rows = {};
  rows.bmiHeader.biSize = sizeof rows.bmiHeader;
  rows.bmiHeader.biWidth = shown.width;
  rows.bmiHeader.biHeight = bottom - top;  // positive: bottom row first, as the copy
  rows.bmiHeader.biPlanes = 1;
  rows.bmiHeader.biBitCount = 32;
  rows.bmiHeader.biCompression = BI_RGB;
  const uint32_t* lowestRow = shown.pixels + static_cast<size_t>(shown.height - bottom) * static_cast<size_t>(shown.width);
  SetDIBitsToDevice(dc, left, top, static_cast<DWORD>(right - left), static_cast<DWORD>(bottom - top), left, 0, 0,
                    static_cast<UINT>(bottom - top), lowestRow, &rows, DIB_RGB_COLORS);  // clipped, nothing to check
}

// The first paint builds the scene; on failure the window goes.
bool StartScene(HWND window) {
  sceneDriver.firstPaint = 0;
  if (InitialiseScene(window) == 1) return true;
  PostMessageA(window, WM_DESTROY, 0, 0);
  return false;
}

LRESULT OnPaint(HWND window) {
  if (sceneDriver.inputHoldoff == holdoffDialogOpen) SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  if (sceneDriver.firstPaint == 1) StartScene(window);
  // A paint the timer did not ask for (an exposure, the first paint) shows
  // a frame of its own moment, as on a palette display.
  if (sceneDriver.sceneReady == 1 && ShowsThroughCopy() && !trueColourScreen.frameFresh) ComposeIntoCopy(window);
  trueColourScreen.frameFresh = false;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (sceneDriver.sceneReady == 1) {  // never draw after a failed initialisation
    if (ShowsThroughCopy())
      ShowRowsOfCopy(dc, paint.rcPaint);
    else
      ShowFrameThroughPalette(dc);
  }
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

bool PaletteDisplay(HWND window) {
  HDC dc = GetDC(window);
  const bool palette = (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
  ReleaseDC(window, dc);
  return palette;
}

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
  // Without memory for the copy a true-colour display takes the palette path too.
  if (!PaletteDisplay(window))
    CreateShownFrame(trueColourScreen.shown, scene.frameWidth, scene.frameHeight, scene.palette.entries);
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
  FreeShownFrame(trueColourScreen.shown);
  trueColourScreen = {};
  ResetSceneState();
}
