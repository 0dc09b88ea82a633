// session_win32.cpp - starting and ending a session, and finding it from a window.
#include "win32/session/session.h"

#include <cstring>

void StartSession(Session& session, HINSTANCE instance) {
  std::memset(&session, 0, sizeof session);
  session.instance = instance;
  session.everyMonitor = 1;
  session.viewCount = 1;
  session.host.lastCheckTick = noQuestionYet;
}

void EndSession(Session& session) {
  for (int32_t i = 0; i < session.viewCount; ++i) {
    FreeScene(session.views[i].scene);
    FreeShownFrame(session.views[i].shown);
    if (session.views[i].gdiPalette.palette != nullptr) DeleteObject(session.views[i].gdiPalette.palette);
    session.views[i] = SceneView{};
  }
  session.viewCount = 1;
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
