// scene_window.cpp - the scene's window procedure.
//
// Each message is one line of the procedure's table, calling a handler with
// the session and the parameters unpacked. The scene itself (pictures,
// palette, frame composition) is the portable core; this file builds each
// window's scene from the program's resources and GDI at the window's first
// paint and puts every frame on its window.
//
// On a palette display a paint composes the frame and copies it whole
// through the realised palette. On a true-colour display the frame timer
// composes every scene's frame, converts the pixels of its change list that
// changed into each window's 32-bit copy of its screen (core/image/shown_frame.h)
// and invalidates only rectangles around them; a paint copies its update
// rectangle from that copy, which is always the whole current frame, so an
// exposure is drawn right too. All scenes of a frame are drawn at one tick, so the
// solids stand in the same poses on every monitor.
#include "win32/session/scene_window.h"

#include <commctrl.h>

#include "win32/image/bitmap_resource.h"
#include "win32/resources/resource_ids.h"
#include "win32/session/settings_registry.h"
#include "win32/session/user_input.h"

const char keySequence[6] = "ZKVMQ";

namespace {

bool ShowsScene(const Session& session, int32_t view);

bool ShowsThroughCopy(const SceneView& view) { return view.shown.pixels != nullptr; }

LRESULT FallThrough(Session& session, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (session.mode == SessionMode::settings || session.inputFallback == nullptr)
    return DefWindowProcA(window, message, wParam, lParam);
  return session.inputFallback(window, message, wParam, lParam);
}

void OpenSettingsDialog(Session& session, HWND window) {
  if (session.openSettingsDialog != nullptr) session.openSettingsDialog(session, window);
}

LRESULT OnCreate(Session& session, HWND window) {
  session.views[0].window = window;
  LoadSettings(session);  // the defaults when nothing usable is stored
  InitCommonControls();
  if (session.mode == SessionMode::settings) OpenSettingsDialog(session, window);
  return 0;
}

LRESULT OnDestroy(HWND window) {
  KillTimer(window, frameTimerId);
  PostQuitMessage(0);
  return 0;
}

bool HoldingOffAfterDialog(const Session& session) {
  return session.inputHoldoff > 0 && session.inputHoldoff < holdoffDialogOpen;
}

LRESULT CountDownHoldoff(Session& session, HWND window) {
  if (HoldingOffAfterDialog(session)) --session.inputHoldoff;
  if (!HoldingOffAfterDialog(session)) KillTimer(window, holdoffTimerId);  // run out, or the dialog is open again
  return 0;
}

// One tick for a frame of every scene: the record's running clocks take it.
uint32_t FrameTick(Session& session) {
  const uint32_t tick = ReadSessionTick(session);
  StampSceneClocks(session.settings, tick);
  return tick;
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

// Composes a frame, brings the copy to it from the frame's change list and
// invalidates the rectangles it changed.
void ComposeIntoCopy(Session& session, SceneView& view, uint32_t tick) {
  DrawSceneFrame(view.scene, session.settings, tick);
  ShownBand bands[maxShownBands];
  const int32_t count = UpdateShownFrame(view.shown, view.scene.framePixels, view.scene.frameStride,
                                         SceneFrameChanges(view.scene), bands);
  InvalidateBands(view.window, bands, count);
}

// Every window whose scene is made takes this frame: composed into its copy,
// or, on a palette display, drawn by the paint the timer asks for.
LRESULT OnFrameTimer(Session& session) {
  bool ticked = false;
  uint32_t tick = 0;
  for (int32_t i = 0; i < session.viewCount; ++i) {
    SceneView& view = session.views[i];
    if (!ShowsScene(session, i) || !SceneReady(view.scene)) continue;
    if (!ShowsThroughCopy(view)) {
      InvalidateRect(view.window, nullptr, FALSE);  // the frame covers everything: never erase
      continue;
    }
    if (!ticked) tick = FrameTick(session), ticked = true;
    ComposeIntoCopy(session, view, tick);
    view.frameFresh = true;
  }
  return 0;
}

LRESULT OnTimer(Session& session, HWND window, UINT_PTR timerId) {
  if (timerId == holdoffTimerId) return CountDownHoldoff(session, window);
  return OnFrameTimer(session);
}

// The holdoff's tick: the frame period, or the default frame time for a
// period the dialog cannot set (the frame timer may then never fire).
UINT HoldoffTickPeriod(const Session& session) {
  const SettingsField& field = FrameTimeField();
  const int32_t period = session.framePeriod;
  const bool dialogCouldSetIt = period >= field.minimum && period <= field.maximum;
  return static_cast<UINT>(dialogCouldSetIt ? period : field.defaultValue);
}

void ShowFrameThroughPalette(Session& session, SceneView& view, HDC dc) {
  SelectPalette(dc, view.gdiPalette.palette, FALSE);
  RealizePalette(dc);
  const uint32_t tick = FrameTick(session);
  DrawSceneFrame(view.scene, session.settings, tick);
  const Scene& scene = view.scene;
  SetDIBitsToDevice(dc, 0, 0, scene.frameWidth, scene.frameHeight, 0, 0, 0, scene.frameHeight, scene.framePixels,
                    reinterpret_cast<const BITMAPINFO*>(scene.frameBuffer.paletteIndexHeader.get()), DIB_PAL_COLORS);
}

// Copies the painted rectangle from the copy; the system clips it to the
// update region. The picture handed over is just the rectangle's rows, so
// that where its rows start is never in question.
void ShowRowsOfCopy(const ShownFrame& shown, HDC dc, const RECT& painted) {
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
  const uint32_t* lowestRow =
      shown.pixels + static_cast<size_t>(shown.height - bottom) * static_cast<size_t>(shown.width);
  SetDIBitsToDevice(dc, left, top, static_cast<DWORD>(right - left), static_cast<DWORD>(bottom - top), left, 0, 0,
                    static_cast<UINT>(bottom - top), lowestRow, &rows, DIB_RGB_COLORS);  // clipped, nothing to check
}

void ReportMissingPicture() { MessageBoxA(nullptr, "Missing image file", "Screensaver Error", MB_OK); }

bool PaletteDisplay(HWND window) {
  HDC dc = GetDC(window);
  const bool palette = (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
  ReleaseDC(window, dc);
  return palette;
}

// Makes the view's scene at its window's client size; true on success.
bool MakeViewScene(Session& session, SceneView& view) {
  RECT client;
  GetClientRect(view.window, &client);
  const SceneInitResult result =
      MakeScene(view.scene, client.right - client.left, client.bottom - client.top,
                LoadBitmapResourceBytes(session.instance, IDB_FLOOR),
                LoadBitmapResourceBytes(session.instance, IDB_FACE_PATTERN), GdiPaletteBackend(view.gdiPalette));
  if (result == SceneInitResult::missingPicture) ReportMissingPicture();
  if (result != SceneInitResult::ok) return false;
  // Without memory for the copy a true-colour display takes the palette path too.
  if (!PaletteDisplay(view.window))
    CreateShownFrame(view.shown, view.scene.frameWidth, view.scene.frameHeight, view.scene.palette.entries);
  return true;
}

// The scene window's first paint makes its scene and starts the frames; on
// failure the window goes.
void StartScene(Session& session) {
  SceneView& view = session.views[0];
  view.sceneTried = true;
  if (MakeViewScene(session, view)) {
    StartFrameTimer(session, session.settings.frameTime);
    return;
  }
  PostMessageA(view.window, WM_DESTROY, 0, 0);
}

// Another monitor's first paint with a scene makes its scene; on failure it stays black.
void StartOtherScene(Session& session, SceneView& view) {
  view.sceneTried = true;
  MakeViewScene(session, view);
}

void PaintBlack(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EndPaint(window, &paint);
}

LRESULT OnPaint(Session& session) {
  if (session.inputHoldoff == holdoffDialogOpen) SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  if (!session.views[0].sceneTried) StartScene(session);
  PaintSceneView(session, 0);
  return 0;
}

LRESULT OnKeyDown(Session& session, HWND window, WPARAM key, LPARAM lParam) {
  if (session.inputHoldoff != 0) return DefWindowProcA(window, WM_KEYDOWN, key, lParam);
  // Bounded by the terminator: the position never passes it.
  const char expected = keySequence[session.keySequencePos];
  if (expected == '\0') return 0;  // the dialog was opened and has not been closed yet
  if (key == static_cast<WPARAM>(static_cast<int32_t>(static_cast<signed char>(expected)))) {
    ++session.keySequencePos;
    if (keySequence[session.keySequencePos] != '\0') return 0;
    session.mode = SessionMode::saver;
    OpenSettingsDialog(session, window);
    return 0;
  }
  session.keySequencePos = 0;
  return FallThrough(session, window, WM_KEYDOWN, key, lParam);
}

LRESULT OnMouse(Session& session, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (session.inputHoldoff != 0) return DefWindowProcA(window, message, wParam, lParam);
  return FallThrough(session, window, message, wParam, lParam);
}

// In settings mode the keyboard belongs to the open dialog: when the scene
// window is given the focus (shown, activated, clicked) it passes it on.
LRESULT OnSetFocus(Session& session, HWND window, WPARAM lostBy, LPARAM lParam) {
  if (session.mode == SessionMode::settings && IsWindowVisible(session.dialogWindow)) {  // hidden while it is destroyed
    SetFocus(session.dialogWindow);  // the dialog gives it to its own control
    return 0;
  }
  return FallThrough(session, window, WM_SETFOCUS, lostBy, lParam);
}

LRESULT OnQueryNewPalette(Session& session, HWND window) {
  HDC dc = GetDC(window);
  SelectPalette(dc, session.views[0].gdiPalette.palette, FALSE);  // refused while there is no palette yet
  RealizePalette(dc);
  ReleaseDC(window, dc);
  return 1;
}

LRESULT OnPaletteChanged(Session& session, HWND window, HWND changedBy, WPARAM wParam, LPARAM lParam) {
  if (changedBy == window) return FallThrough(session, window, WM_PALETTECHANGED, wParam, lParam);
  return OnQueryNewPalette(session, window);
}

LRESULT SessionProc(Session& session, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (UserInputOf(message)) {
    case UserInput::key: return OnKeyDown(session, window, wParam, lParam);
    case UserInput::mouseMove:
    case UserInput::button: return OnMouse(session, window, message, wParam, lParam);
    case UserInput::systemKey:  // passed on as any other message, held off or not
    case UserInput::none: break;
  }
  switch (message) {
    case WM_CREATE: return OnCreate(session, window);
    case WM_DESTROY: return OnDestroy(window);
    case WM_PAINT: return OnPaint(session);
    case WM_TIMER: return OnTimer(session, window, static_cast<UINT_PTR>(wParam));
    case WM_SETFOCUS: return OnSetFocus(session, window, wParam, lParam);
    case WM_PALETTECHANGED: return OnPaletteChanged(session, window, reinterpret_cast<HWND>(wParam), wParam, lParam);
    case WM_QUERYNEWPALETTE: return OnQueryNewPalette(session, window);
    default: return FallThrough(session, window, message, wParam, lParam);
  }
}

}  // namespace

extern "C" LRESULT CALLBACK ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) AttachSession(window, lParam);
  Session* session = SessionOf(window);
  if (session == nullptr) return DefWindowProcA(window, message, wParam, lParam);  // before WM_NCCREATE
  return SessionProc(*session, window, message, wParam, lParam);
}

namespace {

// Whether view i shows a scene: the scene window always, the other monitors
// while Every monitor is on.
bool ShowsScene(const Session& session, int32_t view) { return view == 0 || session.everyMonitor; }

}  // namespace

void PaintSceneView(Session& session, int32_t index) {
  SceneView& view = session.views[index];
  if (!ShowsScene(session, index)) return PaintBlack(view.window);
  if (!view.sceneTried) StartOtherScene(session, view);
  // A paint the timer did not ask for (an exposure, the first paint) shows
  // a frame of its own moment, as on a palette display.
  if (SceneReady(view.scene) && ShowsThroughCopy(view) && !view.frameFresh)
    ComposeIntoCopy(session, view, FrameTick(session));
  view.frameFresh = false;
  if (!SceneReady(view.scene) && index != 0) return PaintBlack(view.window);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(view.window, &paint);
  if (SceneReady(view.scene)) {  // never draw after a failed initialisation
    if (ShowsThroughCopy(view))
      ShowRowsOfCopy(view.shown, dc, paint.rcPaint);
    else
      ShowFrameThroughPalette(session, view, dc);
  }
  EndPaint(view.window, &paint);
}

void RemakeViewScene(Session& session, int32_t index) {
  SceneView& view = session.views[index];
  FreeViewScene(view);
  InvalidateRect(view.window, nullptr, TRUE);  // nothing of the old size stays: black until the new frame
}

void ShowWholeFrames(Session& session) {
  for (int32_t i = 0; i < session.viewCount; ++i) {
    session.views[i].frameFresh = false;  // the paint composes a frame of its own moment
    InvalidateRect(session.views[i].window, nullptr, FALSE);
  }
}

void RepaintOtherMonitors(Session& session) {
  for (int32_t i = 1; i < session.viewCount; ++i) InvalidateRect(session.views[i].window, nullptr, TRUE);
}

void StartFrameTimer(Session& session, int32_t frameTime) {
  // The period as the system reads it: a negative frame time is a huge one.
  SetTimer(SceneWindow(session), frameTimerId, static_cast<UINT>(frameTime), nullptr);  // fails only without a window
  session.framePeriod = frameTime;
}

void HoldInputAfterDialog(Session& session) {
  session.inputHoldoff = holdoffAfterDialog;
  // Without its timer the holdoff would never end: input is then not held off at all.
  if (SetTimer(SceneWindow(session), holdoffTimerId, HoldoffTickPeriod(session), nullptr) == 0)
    session.inputHoldoff = 0;
}
