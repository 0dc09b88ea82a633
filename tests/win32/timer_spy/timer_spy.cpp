// timer_spy.cpp - a message hook the tests set on the saver's thread.
//
// The system loads this library into the saver and calls TimerSpyHook for
// every message the thread takes from its queue; each WM_TIMER is told to
// the test's window of class "VimbrelTimerSpy" as WM_APP (wParam: the
// timer's id). That shows which timers the saver keeps, without a timed
// guess from the outside.
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK TimerSpyHook(int code, WPARAM removed, LPARAM message) {
  const MSG* taken = reinterpret_cast<const MSG*>(message);
  if (code == HC_ACTION && removed == PM_REMOVE && taken->message == WM_TIMER) {
    HWND spy = FindWindowA("VimbrelTimerSpy", nullptr);
    if (spy != nullptr) PostMessageA(spy, WM_APP, taken->wParam, 0);
  }
  return CallNextHookEx(nullptr, code, removed, message);
}
