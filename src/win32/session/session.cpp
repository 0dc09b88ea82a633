// session.cpp - starting and ending a session, and finding it from a window.
#include "win32/session/session.h"

void StartSession(Session& session, HINSTANCE instance) {
  session = Session{};
  session.instance = instance;
}

void EndSession(Session& session) {
  for (int32_t i = 0; i < session.viewCount; ++i) {
    FreeViewScene(session.views[i]);
    session.views[i] = SceneView{};
  }
  session.viewCount = 1;
}

void FreeViewScene(SceneView& view) {
  view.scene = {};
  view.shown = {};
  if (view.gdiPalette.palette != nullptr) {
    // A palette still selected into the window's own device context would not be deleted.
    if (view.window != nullptr && IsWindow(view.window)) {
      HDC dc = GetDC(view.window);
      SelectPalette(dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
      ReleaseDC(view.window, dc);
    }
    DeleteObject(view.gdiPalette.palette);
    view.gdiPalette.palette = nullptr;
  }
  view.frameFresh = false;
  view.sceneTried = false;
}

uint32_t ReadSessionTick(const Session& session) { return SceneClockTick(session.clock, GetTickCount()); }

int32_t ViewOf(const Session& session, HWND window) {
  for (int32_t i = 0; i < session.viewCount; ++i)
    if (session.views[i].window == window) return i;
  return -1;
}

Session* SessionOf(HWND window) { return reinterpret_cast<Session*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

void AttachSession(HWND window, LPARAM createStruct) {
  const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(createStruct);
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
}
