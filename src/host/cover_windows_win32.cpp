// cover_windows_win32.cpp - the cover windows: made from the monitor list,
// their input handed to the scene window.
#include "host/cover_windows_win32.h"

#include <vector>

#include "host/cover_geometry.h"
#include "host/host_state.h"
#include "scene/scene_window_win32.h"

namespace {

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

bool RegisterCoverClass() {
  WNDCLASSA coverClass = {};
  coverClass.style = CS_DBLCLKS;  // a second click arrives as it does on the scene window
  coverClass.lpfnWndProc = CoverWindowProc;
  coverClass.hInstance = sceneDriver.instanceHandle;
  coverClass.hCursor = nullptr;
  coverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  coverClass.lpszClassName = coverClassName;
  return RegisterClassA(&coverClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateCoverWindow(const CoverPlace& place, HWND sceneWindow) {
  HWND cover = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, coverClassName, "", WS_POPUP,
                               place.x, place.y, place.width, place.height, nullptr, nullptr,
                               sceneDriver.instanceHandle, nullptr);
  if (cover == nullptr) return nullptr;
  // Shown just below the scene window, which keeps the activation and its place on top.
  SetWindowPos(cover, sceneWindow, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  return cover;
}

// Posted, so that it takes its turn with the scene window's own input.
LRESULT HandToScene(UINT message, WPARAM wParam, LPARAM lParam) {
  PostMessageA(sceneDriver.sceneWindow, message, wParam, lParam);  // fails only once the scene is gone
  return 0;
}

LRESULT OnSetCursor() {
  SetCursor(nullptr);
  return TRUE;
}

}  // namespace

void OpenCoverWindows(HWND sceneWindow) {
  const ScreenRect scene = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const std::vector<CoverPlace> places = CoverPlaces(ReadMonitors(), scene);
  if (places.empty() || !RegisterCoverClass()) return;  // without a class the saver runs as on one monitor
  for (const CoverPlace& place : places) {
    if (hostState.coverCount == maxCoverWindows) break;
    HWND cover = CreateCoverWindow(place, sceneWindow);
    if (cover != nullptr) hostState.coverWindows[hostState.coverCount++] = cover;  // else that monitor shows the desktop
  }
}

void CloseCoverWindows() {
  for (int32_t i = 0; i < hostState.coverCount; ++i) DestroyWindow(hostState.coverWindows[i]);
  hostState.coverCount = 0;
}

LRESULT CALLBACK CoverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_CLOSE: return HandToScene(message, wParam, lParam);
    case WM_SETCURSOR: return OnSetCursor();
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;  // a click leaves the scene window active and on top
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}
