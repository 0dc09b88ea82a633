// HostMain's fault guard: a fault that nothing handles, raised inside a
// window procedure while the saver-running state is on, still ends with the
// state switched off. The fault is raised in a copy of this test program
// started for the purpose, since the guard ends its process.
#include <gtest/gtest.h>

#include <cstring>

#include "win32/host/host_main.h"
#include "win32/host/saver_window.h"
#include "support/harness.h"

namespace {

constexpr char faultChildSwitch[] = "--host-fault-child";
constexpr UINT raiseFaultMessage = WM_APP + 1;

LRESULT CALLBACK FaultingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == raiseFaultMessage) {
    SetSaverRunning(true);
    RaiseException(EXCEPTION_ACCESS_VIOLATION, 0, 0, nullptr);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// A mode that faults the way a real one would: inside a message dispatched by its loop.
int32_t FaultingMode(Session&, const char*) {
  WNDCLASSA description = {};
  description.lpfnWndProc = FaultingProc;
  description.hInstance = GetModuleHandleA(nullptr);
  description.lpszClassName = "VimbrelFaultingWindow";
  RegisterClassA(&description);
  HWND window = CreateWindowExA(0, "VimbrelFaultingWindow", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  PostMessageA(window, raiseFaultMessage, 0, 0);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 7;  // never reached: the fault ends the process
}

// The child: no crash dialog, so the system's handling hands the fault back
// (Wine does not look at the error mode but at the debugger setting, below).
struct FaultChild {
  FaultChild() {
    if (std::strstr(GetCommandLineA(), faultChildSwitch) == nullptr) return;
    SetErrorMode(SEM_NOGPFAULTERRORBOX);
    Session session;
    StartSession(session, GetModuleHandleA(nullptr));
    ExitProcess(static_cast<UINT>(RunGuarded(FaultingMode, session, "")));
  }
} faultChild;

// The system's debugger for unhandled faults (AeDebug) points at a program
// that does not exist, so that Wine's handling of the fault hands control
// back to the program instead of attaching its own debugger. The prefix is
// the tests' own, and no test wants a debugger: the setting stays.
void PointTheSystemDebuggerNowhere() {
  const char* values[][2] = {{"Debugger", "Z:\\nonexistent\\vimbrel-no-debugger.exe %ld %ld"}, {"Auto", "1"}};
  for (const auto& v : values)
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug", v[0], REG_SZ, v[1],
                    static_cast<DWORD>(std::strlen(v[1]) + 1));
}

TEST(HostFaultGuard, AnUnhandledFaultSwitchesTheSaverRunningStateOff) {
  PointTheSystemDebuggerNowhere();
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  ProgramRun run = StartProgram(faultChildSwitch, nullptr, self);
  ASSERT_TRUE(run.started);
  EXPECT_EQ(WaitForExit(run), 1u);  // the switching-off call's result: it succeeded
  EXPECT_EQ(StoredSaverRunningState(), 0);
}

}  // namespace
