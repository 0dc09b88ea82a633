// cover_windows.cpp - the other monitors' windows: made from the
// monitor list, painted as scene views, their input handed to the scene window.
#include "win32/host/cover_windows.h"

#include <vector>

#include "win32/portable/cover_geometry.h"
#include "win32/host/host_state.h"
#include "win32/session/scene_window.h"

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

}  // namespace

void OpenCoverWindows(Session& session) {
  const ScreenRect scene = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const std::vector<CoverPlace> places = CoverPlaces(ReadMonitors(), scene);
  // Without a class the saver runs as on one monitor.
  if (places.empty() || !RegisterCoverClass(session.instance)) return;
  for (const CoverPlace& place : places) {
    if (session.viewCount == maxSceneViews) break;
    HWND cover = CreateCoverWindow(session, place);
    if (cover == nullptr) continue;  // that monitor shows the desktop
    session.views[session.viewCount++] = SceneView{cover, {}, {}, {}, false, false};
    // Shown just below the scene window, which keeps the activation and its place on top.
    SetWindowPos(cover, SceneWindow(session), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
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
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_CLOSE: return HandToScene(*session, message, wParam, lParam);
    case WM_PAINT: return OnPaint(*session, window);
    case WM_SETCURSOR: return OnSetCursor();
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;  // a click leaves the scene window active and on top
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace
