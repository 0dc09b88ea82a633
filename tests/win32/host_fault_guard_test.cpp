// HostMain's fault guard: a fault that nothing handles, raised inside a
// window procedure while the saver-running state is on, still ends with the
// state switched off. The fault is raised in a copy of this test program
// started for the purpose, since the guard ends its process.
#include <gtest/gtest.h>

#include <cstring>

#include "host/host_main.h"
#include "host/saver_window_win32.h"
#include "support/harness.h"

namespace {

constexpr char faultChildSwitch[] = "--host-fault-child";
constexpr UINT raiseFaultMessage = WM_APP + 1;

LRESULT CALLBACK FaultingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == raiseFaultMessage) {
    SetSaverRunning(1);
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

// The system's debugger for unhandled faults (AeDebug), pointed at a program
// that does not exist while a test runs, so that Wine's handling of the fault
// hands control back to the program instead of attaching its own debugger.
class NoSystemDebugger {
 public:
  NoSystemDebugger() {
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, aeDebugKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    for (Value& v : values) {
      char text[512] = {};
      DWORD size = sizeof text;
      v.had = RegGetValueA(key, nullptr, v.name, RRF_RT_REG_SZ, nullptr, text, &size) == ERROR_SUCCESS;
      v.saved = text;
      Write(v.name, v.replacement);
    }
  }
  ~NoSystemDebugger() {
    for (const Value& v : values) v.had ? Write(v.name, v.saved) : void(RegDeleteValueA(key, v.name));
    RegCloseKey(key);
  }

 private:
  static constexpr char aeDebugKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug";
  struct Value {
    const char* name;
    std::string replacement, saved;
    bool had;
  };
  void Write(const char* name, const std::string& text) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
  }
  HKEY key = nullptr;
  Value values[2] = {{"Debugger", "Z:\\nonexistent\\vimbrel-no-debugger.exe %ld %ld", "", false},
                     {"Auto", "1", "", false}};
};

TEST(HostFaultGuard, AnUnhandledFaultSwitchesTheSaverRunningStateOff) {
  NoSystemDebugger noDebugger;
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  ProgramRun run = StartProgram(faultChildSwitch, nullptr, self);
  ASSERT_TRUE(run.started);
  EXPECT_EQ(WaitForExit(run), 1u);  // the switching-off call's result: it succeeded
  EXPECT_EQ(StoredSaverRunningState(), 0);
}

}  // namespace
