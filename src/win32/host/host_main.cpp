// host_main.cpp - HostMain, the mode operations and the fault guard.
#include "win32/host/host_main.h"

#include "win32/config_ui/preview_window.h"
#include "win32/portable/command_line.h"
#include "win32/host/host_state.h"
#include "win32/host/password.h"
#include "win32/host/saver_window.h"
#include "win32/session/session.h"

namespace {

// The modes beside the saver's (RunSaverWindow), defined below HostMain.
int32_t RunChildPreview(Session& session, const char* text);
int32_t RunConfigureMode(Session& session);
int32_t RunChangePasswordMode(const char* text);

// A window handle as written on the command line. Handles are 32-bit values
// that the system sign-extends in 64-bit processes.
HWND HandleFromText(const char* text) {
  return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(ParseDecimal(text))));
}

int32_t RunMode(Session& session, const char* argumentText) {
  const ModeChoice choice = ChooseMode(argumentText);
  switch (choice.mode) {
    case HostMode::settings:
    case HostMode::settingsOverForeground: return RunConfigureMode(session);
    case HostMode::fullScreen: return RunSaverWindow(session, nullptr);
    case HostMode::childPreview: return RunChildPreview(session, choice.rest);
    case HostMode::changePassword: return RunChangePasswordMode(choice.rest);
    case HostMode::unrecognised: break;
  }
  return -1;
}

// The guard is a top-level filter, the nearest MinGW has to wrapping the
// modes in a structured handler (it has no __try). The system's own handling
// (UnhandledExceptionFilter) runs first, with this filter taken out so that
// it does not call straight back in here. Its verdict:
//  - hands control back (EXECUTE_HANDLER): switch the saver-running state off
//    and end with that call's result, as the handler would have returned it;
//  - keeps searching (a debugger takes the fault, or the process dies):
//    switch the state off first, since the process ends either way;
//  - continue execution (the fault was mended): put the guard back.
LONG WINAPI FaultGuard(EXCEPTION_POINTERS* fault) {
  SetUnhandledExceptionFilter(nullptr);
  const LONG verdict = UnhandledExceptionFilter(fault);
  if (verdict == EXCEPTION_CONTINUE_EXECUTION) {
    SetUnhandledExceptionFilter(FaultGuard);
    return verdict;
  }
  const int32_t switchedOff = SetSaverRunning(false);
  if (verdict == EXCEPTION_EXECUTE_HANDLER) ExitProcess(static_cast<UINT>(switchedOff));
  return verdict;
}

}  // namespace

int32_t RunGuarded(int32_t (*mode)(Session& session, const char* text), Session& session, const char* text) {
  const LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(FaultGuard);
  const int32_t result = mode(session, text);
  SetUnhandledExceptionFilter(previous);
  return result;
}

int32_t HostMain(HINSTANCE instance, HINSTANCE, const char* argumentText, int) {
  Session session;
  StartSession(session, instance);
  const int32_t result = RunGuarded(RunMode, session, argumentText);
  EndSession(session);
  return result;
}

namespace {

// The desktop window is refused like a handle that names no window: a
// preview inside it would cover the screen, and no input could end it.
int32_t RunChildPreview(Session& session, const char* text) {
  HWND parent = HandleFromText(text);
  if (parent == nullptr || !IsWindow(parent) || parent == GetDesktopWindow()) return -1;
  return RunSaverWindow(session, parent);
}

// The settings dialog rides on its own window, whatever window was in front.
// 0, or -1 when that window could not be made at all.
int32_t RunConfigureMode(Session& session) { return RunConfigurePreview(session); }

int32_t RunChangePasswordMode(const char* text) {
  HWND parent = HandleFromText(text);
  if (parent == nullptr || !IsWindow(parent)) parent = GetForegroundWindow();
  ChangePassword(parent);
  return 0;
}

}  // namespace
