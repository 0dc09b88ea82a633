// cover_windows.cpp - the other monitors' windows: made from the
// monitor list, painted as scene views, their input handed to the scene window.
#include "win32/host/cover_windows.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "win32/portable/command_line.h"
#include "win32/portable/cover_geometry.h"
#include "win32/session/scene_window.h"
#include "win32/session/user_input.h"

namespace {

LRESULT CALLBACK CoverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

using EnumMonitorsEntry = BOOL(WINAPI*)(HDC dc, LPCRECT clip, MONITORENUMPROC each, LPARAM data);

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list) {
  reinterpret_cast<std::vector<ScreenRect>*>(list)->push_back({rect->left, rect->top, rect->right, rect->bottom});
  return TRUE;
}

// The entry is looked up at run time: systems older than Windows 98 and 2000
// have neither it nor a second monitor.
std::vector<ScreenRect> ReadMonitors() {
  std::vector<ScreenRect> monitors;
  const auto enumerate = FindEntry<EnumMonitorsEntry>(GetModuleHandleA("USER32.DLL"), "EnumDisplayMonitors");
  // A failed enumeration lists what it reached: the monitors missing get no cover.
  if (enumerate != nullptr) enumerate(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

bool RegisterCoverClass(HINSTANCE instance) {
  WNDCLASSA coverClass = {};
  coverClass.style = CS_DBLCLKS | CS_OWNDC;  // a second click arrives as it does on the scene window
  coverClass.lpfnWndProc = CoverWindowProc;
  coverClass.hInstance = instance;
  coverClass.hCursor = nullptr;
  coverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  coverClass.lpszClassName = coverClassName;
  return RegisterClassA(&coverClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// Made hidden, so that it is a view of the session before its first paint.
HWND CreateCoverWindow(Session& session, const CoverPlace& place) {
  return CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, coverClassName, "", WS_POPUP, place.x,
                         place.y, place.width, place.height, nullptr, nullptr, session.instance, &session);
}

// Posted, so that it takes its turn with the scene window's own input.
LRESULT HandToScene(const Session& session, UINT message, WPARAM wParam, LPARAM lParam) {
  PostMessageA(SceneWindow(session), message, wParam, lParam);  // fails only once the scene is gone
  return 0;
}

LRESULT OnPaint(Session& session, HWND window) {
  const int32_t view = ViewOf(session, window);
  if (view < 0) return DefWindowProcA(window, WM_PAINT, 0, 0);  // not yet a view: validated, drawn at its showing
  PaintSceneView(session, view);
  return 0;
}

LRESULT OnSetCursor() {
  SetCursor(nullptr);
  return TRUE;
}

// Made hidden and shown just below the scene window, which keeps the
// activation and its place on top; false when no window could be made
// (that monitor then shows the desktop).
bool AddCover(Session& session, const CoverPlace& place) {
  if (session.viewCount == maxSceneViews) return false;
  HWND cover = CreateCoverWindow(session, place);
  if (cover == nullptr) return false;
  session.views[session.viewCount++] = SceneView{cover, place};
  SetWindowPos(cover, SceneWindow(session), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  return true;
}

std::vector<CoverPlace> PlacedCovers(const Session& session) {
  std::vector<CoverPlace> placed;
  for (int32_t i = 1; i < session.viewCount; ++i) placed.push_back(session.views[i].place);
  return placed;
}

bool SameSize(const CoverPlace& a, const CoverPlace& b) { return a.width == b.width && a.height == b.height; }

// Puts cover i at its new place; a new size gets a new scene (all of them when remakeAll).
void MoveCover(Session& session, int32_t i, const CoverPlace& place, bool remakeAll) {
  CoverPlace& placed = session.views[i].place;
  if (!SamePlace(placed, place))
    SetWindowPos(session.views[i].window, nullptr, place.x, place.y, place.width, place.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  if (remakeAll || !SameSize(placed, place)) RemakeViewScene(session, i);
  placed = place;
}

// Moves the covers to the wanted places (KeptCovers), destroys the ones left
// over and closes up the list; returns the wanted places still without a window.
std::vector<CoverPlace> MoveOrDropCovers(Session& session, const std::vector<CoverPlace>& wanted, bool remakeAll) {
  const std::vector<int32_t> kept = KeptCovers(PlacedCovers(session), wanted);
  std::vector<bool> covered(wanted.size(), false);
  int32_t count = 1;
  for (int32_t i = 1; i < session.viewCount; ++i) {
    const int32_t at = kept[static_cast<size_t>(i - 1)];
    if (at < 0) {
      DestroyWindow(session.views[i].window);
      FreeViewScene(session.views[i]);
      continue;
    }
    covered[static_cast<size_t>(at)] = true;
    MoveCover(session, i, wanted[static_cast<size_t>(at)], remakeAll);
    if (count != i) session.views[count] = std::move(session.views[i]);
    ++count;
  }
  for (int32_t i = count; i < session.viewCount; ++i) session.views[i] = SceneView{};
  session.viewCount = count;
  std::vector<CoverPlace> missing;
  for (size_t j = 0; j < wanted.size(); ++j)
    if (!covered[j]) missing.push_back(wanted[j]);
  return missing;
}

CoverPlace SceneWindowPlace() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

// The scene window on the primary monitor again, its scene made anew at its size.
void PlaceSceneWindow(Session& session, const CoverPlace& place) {
  session.views[0].place = place;
  SetWindowPos(SceneWindow(session), nullptr, place.x, place.y, place.width, place.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  RemakeViewScene(session, 0);
}

}  // namespace

void OpenCoverWindows(Session& session, HostState& hostState) {
  session.views[0].place = SceneWindowPlace();
  hostState.lastLayoutCheckTick = GetTickCount();
  // Without a class the saver runs as on one monitor.
  if (!RegisterCoverClass(session.instance)) return;
  const CoverPlace scene = session.views[0].place;
  for (const CoverPlace& place : CoverPlaces(ReadMonitors(), {scene.x, scene.y, scene.width, scene.height}))
    AddCover(session, place);
}

void FollowMonitorLayout(Session& session, HostState& hostState, bool wholeAnew) {
  hostState.lastLayoutCheckTick = GetTickCount();
  const CoverPlace scene = SceneWindowPlace();
  std::vector<CoverPlace> wanted = CoverPlaces(ReadMonitors(), {scene.x, scene.y, scene.width, scene.height});
  if (wanted.size() > static_cast<size_t>(maxOtherMonitors)) wanted.resize(maxOtherMonitors);
  const bool sceneMoved = !SamePlace(scene, session.views[0].place);
  const std::vector<CoverPlace> placed = PlacedCovers(session);
  const bool coversMoved =
      placed.size() != wanted.size() || !std::equal(placed.begin(), placed.end(), wanted.begin(), SamePlace);
  if (!wholeAnew && !sceneMoved && !coversMoved) return;
  if (wholeAnew || sceneMoved) PlaceSceneWindow(session, scene);
  for (const CoverPlace& place : MoveOrDropCovers(session, wanted, wholeAnew)) AddCover(session, place);
  // Where the cursor is now, in the new screen coordinates, is where travel is measured from.
  GetCursorPos(&hostState.cursorReference);
}

void WatchMonitorLayout(Session& session, HostState& hostState) {
  if (TicksSince(hostState.lastLayoutCheckTick, GetTickCount()) >= layoutCheckInterval)
    FollowMonitorLayout(session, hostState, false);
}

void CloseCoverWindows(Session& session) {
  for (int32_t i = 1; i < session.viewCount; ++i) {
    DestroyWindow(session.views[i].window);
    session.views[i].window = nullptr;  // its scene goes with the session
  }
}

namespace {

LRESULT CALLBACK CoverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) AttachSession(window, lParam);
  Session* session = SessionOf(window);
  if (session == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  if (UserInputOf(message) != UserInput::none) return HandToScene(*session, message, wParam, lParam);
  switch (message) {
    case WM_CLOSE: return HandToScene(*session, message, wParam, lParam);
    case WM_PAINT: return OnPaint(*session, window);
    case WM_SETCURSOR: return OnSetCursor();
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;  // a click leaves the scene window active and on top
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace
