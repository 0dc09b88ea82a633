// saver_window.cpp - the saver window's class, creation, loop and input rules.
#include "win32/host/saver_window.h"

#include "win32/config_ui/configure_dialog.h"
#include "win32/host/cover_windows.h"
#include "win32/host/display_power.h"
#include "win32/host/host_state.h"
#include "win32/host/password.h"
#include "win32/session/scene_window.h"
#include "win32/session/user_input.h"

namespace {

constexpr UINT saverClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
constexpr WORD saverIconId = 100;         // the resources hold only group 101, so the class gets no icon
constexpr UINT previewWatchPeriod = 250;  // ms between two looks for a preview's parent

struct SaverWindowShape {
  DWORD extendedStyle;
  DWORD style;
  const char* title;
  int width;
  int height;
};

SaverWindowShape FullScreenShape() {
  return {WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, saverFullScreenTitle,
          GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

SaverWindowShape ChildShape(HWND parent) {
  RECT client = {0, 0, 0, 0};
  GetClientRect(parent, &client);  // a parent gone meanwhile gives 0 x 0; creation then fails on it
  return {0, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, saverPreviewTitle, client.right, client.bottom};
}

// Another full-screen saver: bring it forward instead of starting a second.
bool HandOverToRunningSaver() {
  HWND running = FindWindowA(saverClassName, saverFullScreenTitle);
  if (running == nullptr || !IsWindow(running)) return false;
  SetForegroundWindow(running);
  return true;
}

bool CreateSaverWindow(Session& session, HWND parent, const SaverWindowShape& shape) {
  WNDCLASSA saverClass = {};
  saverClass.style = saverClassStyle;
  saverClass.lpfnWndProc = SaverWindowProc;
  saverClass.hInstance = session.instance;
  saverClass.hIcon = LoadIconA(session.instance, MAKEINTRESOURCEA(saverIconId));
  saverClass.hCursor = nullptr;
  saverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  saverClass.lpszClassName = saverClassName;
  if (RegisterClassA(&saverClass) == 0) return false;
  // The window is views[0] from its WM_CREATE on.
  return CreateWindowExA(shape.extendedStyle, saverClassName, shape.title, shape.style, 0, 0, shape.width, shape.height,
                         parent, nullptr, session.instance, &session) != nullptr;
}

// A preview whose parent is gone: the parent's program may have ended
// without destroying it, and the system then takes the preview window away
// without a WM_DESTROY, so only a check from outside the window can tell
// (the thread timer previewWatchTimer wakes the loop to look).
bool PreviewOrphaned(const Session& session) {
  return !IsWindow(session.host->previewParent) || !IsWindow(SceneWindow(session));
}

// Hands the scene what it calls above itself: these input rules and the
// settings dialog opened by the key sequence.
void ConnectSceneToHost(Session& session) {
  session.inputFallback = SaverInputProc;
  session.openSettingsDialog = OpenSettingsDialog;
}

void HideCursor() { SetCursor(nullptr); }

LRESULT PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ScreenSaverProc(window, message, wParam, lParam);
}

void DetachInputMethod(HostState& hostState, HWND window) {
  hostState.imeModule = GetModuleHandleA("IMM32.DLL");  // only when already loaded; never loaded here
  if (hostState.imeModule == nullptr) return;
  hostState.associateContextEntry = FindEntry<AssociateContextEntry>(hostState.imeModule, "ImmAssociateContext");
  if (hostState.associateContextEntry == nullptr) return;
  hostState.savedImeContext = hostState.associateContextEntry(window, nullptr);
}

void RestoreInputMethod(HostState& hostState, HWND window) {
  if (hostState.imeModule == nullptr || hostState.associateContextEntry == nullptr ||
      hostState.savedImeContext == nullptr)
    return;
  hostState.associateContextEntry(window, hostState.savedImeContext);
}

LRESULT OnCreate(HostState& hostState, HWND window, WPARAM wParam, LPARAM lParam) {
  DetachInputMethod(hostState, window);
  GetCursorPos(&hostState.cursorReference);
  if (!hostState.childPreview) HideCursor();
  if (!hostState.childPreview) WatchDisplayPower(hostState, window);
  return PassOn(window, WM_CREATE, wParam, lParam);
}

LRESULT OnDestroy(HostState& hostState, HWND window, WPARAM wParam, LPARAM lParam) {
  RestoreInputMethod(hostState, window);
  StopWatchingDisplayPower(hostState);
  PostQuitMessage(0);
  return PassOn(window, WM_DESTROY, wParam, lParam);
}

LRESULT OnPaint(const HostState& hostState, HWND window, WPARAM wParam, LPARAM lParam) {
  if (hostState.closeApproved) return DefWindowProcA(window, WM_PAINT, wParam, lParam);  // validate, draw nothing
  if (!hostState.childPreview) HideCursor();
  return PassOn(window, WM_PAINT, wParam, lParam);
}

// A preview's help belongs to the program that owns the preview.
LRESULT OnHelpRequest(const HostState& hostState, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!hostState.childPreview) return PassOn(window, message, wParam, lParam);
  HWND parent = GetParent(window);
  if (parent != nullptr && IsWindow(parent)) PostMessageA(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
  return 1;
}

LRESULT OnInput(const HostState& hostState, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (hostState.closeApproved) return DefWindowProcA(window, message, wParam, lParam);
  return PassOn(window, message, wParam, lParam);
}

LRESULT OnSysCommand(Session& session, HostState& hostState, HWND window, WPARAM command, LPARAM lParam) {
  // Compared whole: these exact values, not the command with its low bits masked.
  if (!hostState.childPreview && (command == SC_NEXTWINDOW || command == SC_PREVWINDOW || command == SC_SCREENSAVE))
    return 0;
  if (!hostState.childPreview && (command & 0xFFF0) == SC_MONITORPOWER) OnMonitorPower(session, hostState, lParam);
  return PassOn(window, WM_SYSCOMMAND, command, lParam);
}

// The frame timer also watches the monitors; while the display sleeps only
// the slower displayAsleepTimer does, and a frame timer started meanwhile
// (by a first paint or the dialog) is stopped at its first tick.
LRESULT OnTimer(Session& session, HostState& hostState, HWND window, WPARAM wParam, LPARAM lParam) {
  if (hostState.closeApproved) return 0;  // closing: no further frame
  if ((wParam == frameTimerId || wParam == displayAsleepTimerId) && !hostState.childPreview)
    WatchMonitorLayout(session, hostState);
  if (wParam == displayAsleepTimerId) return 0;
  if (wParam == frameTimerId && hostState.displayAsleep) {
    KillTimer(window, frameTimerId);
    return 0;
  }
  Sleep(0);  // give up the rest of the time slice
  return PassOn(window, WM_TIMER, wParam, lParam);
}

// The system's word that the monitors changed (it may have changed the colour
// depth too): every window and scene is made anew.
LRESULT OnDisplayChange(Session& session, HostState& hostState, HWND window, WPARAM wParam, LPARAM lParam) {
  if (!hostState.childPreview) FollowMonitorLayout(session, hostState, true);
  return PassOn(window, WM_DISPLAYCHANGE, wParam, lParam);
}

LRESULT OnPowerEvent(Session& session, HostState& hostState, HWND window, WPARAM event, LPARAM data) {
  if (hostState.childPreview) return PassOn(window, WM_POWERBROADCAST, event, data);
  return OnPowerBroadcast(session, hostState, event, data);
}

LRESULT OnCloseRequest(HostState& hostState, HWND window, WPARAM wParam, LPARAM lParam) {
  if (VerifyBeforeClose(hostState, window)) return DefWindowProcA(window, WM_CLOSE, wParam, lParam);  // destroys
  GetCursorPos(&hostState.cursorReference);  // refused: travel is measured afresh from here
  return 0;
}

LRESULT OnVerifyPassword(const HostState& hostState, HWND window) {
  if (hostState.verifierEntry == nullptr) return 1;
  return hostState.verifierEntry(window);
}

// |a - b|, exact for any two 32-bit coordinates.
uint32_t Distance(LONG a, LONG b) {
  return a >= b ? static_cast<uint32_t>(a) - static_cast<uint32_t>(b)
                : static_cast<uint32_t>(b) - static_cast<uint32_t>(a);
}

LRESULT OnMouseMove(HostState& hostState, HWND window, WPARAM wParam, LPARAM lParam) {
  POINT cursor;
  GetCursorPos(&cursor);  // the screen position, not the message's client coordinates
  const uint32_t dx = Distance(cursor.x, hostState.cursorReference.x);
  const uint32_t dy = Distance(cursor.y, hostState.cursorReference.y);
  if (dx + dy > mouseThreshold) {  // unsigned sum of the two distances
    PostMessageA(window, WM_CLOSE, 0, 0);
    hostState.cursorReference = cursor;
  }
  return DefWindowProcA(window, WM_MOUSEMOVE, wParam, lParam);
}

}  // namespace

int32_t RunSaverWindow(Session& session, HWND parent) {
  HostState hostState;  // this run's; its windows reach it through the session
  SaverWindowShape shape;
  if (parent != nullptr) {
    shape = ChildShape(parent);
    hostState.childPreview = true;
  } else {
    shape = FullScreenShape();
    if (HandOverToRunningSaver()) return 0;
    LoadPasswordVerifier(hostState);
  }
  session.host = &hostState;
  ConnectSceneToHost(session);
  int32_t result = -1;  // no window, so no quit code
  if (CreateSaverWindow(session, parent, shape)) {
    if (parent == nullptr) {
      SetForegroundWindow(SceneWindow(session));
      OpenCoverWindows(session, hostState);
    } else {
      hostState.previewParent = parent;
      hostState.previewWatchTimer = SetTimer(nullptr, 0, previewWatchPeriod, nullptr);
    }
    // The dialog opened over the saver takes its keys; a preview also ends with its parent.
    result = RunDialogMessageLoop(session, parent == nullptr ? nullptr : PreviewOrphaned);
    if (hostState.previewWatchTimer != 0) KillTimer(nullptr, hostState.previewWatchTimer);
    hostState.previewWatchTimer = 0;
    CloseCoverWindows(session);
  }
  UnloadPasswordVerifier(hostState);
  session.host = nullptr;  // its windows are gone; the state goes with this frame
  return result;
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Session* session = SessionOf(window);
  // WM_NCCREATE attaches the session there; the host's state is there for the saver's run.
  if (session == nullptr || session->host == nullptr) return PassOn(window, message, wParam, lParam);
  HostState& host = *session->host;
  if (UserInputOf(message) != UserInput::none) return OnInput(host, window, message, wParam, lParam);
  switch (message) {
    case WM_CREATE: return OnCreate(host, window, wParam, lParam);
    case WM_DESTROY: return OnDestroy(host, window, wParam, lParam);
    case WM_SETTEXT: return 0;  // the title stays, so a second saver keeps finding this one
    case WM_PAINT: return OnPaint(host, window, wParam, lParam);
    case WM_HELP:
    case WM_CONTEXTMENU: return OnHelpRequest(host, window, message, wParam, lParam);
    case WM_SYSCOMMAND: return OnSysCommand(*session, host, window, wParam, lParam);
    case WM_TIMER: return OnTimer(*session, host, window, wParam, lParam);
    case WM_DISPLAYCHANGE: return OnDisplayChange(*session, host, window, wParam, lParam);
    case WM_POWERBROADCAST: return OnPowerEvent(*session, host, window, wParam, lParam);
    default: return PassOn(window, message, wParam, lParam);
  }
}

LRESULT CALLBACK SaverInputProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Session* session = SessionOf(window);
  if (session == nullptr || session->host == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  HostState& hostState = *session->host;
  if (hostState.childPreview) return DefWindowProcA(window, message, wParam, lParam);  // never ends on input
  if (hostState.closeApproved) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_CLOSE) return OnCloseRequest(hostState, window, wParam, lParam);
  if (message == verifyPasswordMessage) return OnVerifyPassword(hostState, window);
  if (hostState.checkingPassword) return DefWindowProcA(window, message, wParam, lParam);
  switch (UserInputOf(message)) {
    case UserInput::key:
    case UserInput::systemKey:
    case UserInput::button: PostMessageA(window, WM_CLOSE, 0, 0); break;
    case UserInput::mouseMove: return OnMouseMove(hostState, window, wParam, lParam);
    case UserInput::none: break;
  }
  if (message == WM_SETCURSOR) {
    HideCursor();
    return 1;
  }
  if (message == WM_SHOWWINDOW && wParam != 0) HideCursor();
  return DefWindowProcA(window, message, wParam, lParam);
}
