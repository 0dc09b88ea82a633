// host_call_trap.cpp - see host_call_trap.h.
#include "support/host_call_trap.h"

#include "support/harness.h"
#include "support/host_tools.h"

namespace {

constexpr BYTE breakpointOpcode = 0xCC;

struct Trap {
  HANDLE process;
  uintptr_t entryOffset;  // from the library's base, the same in every process
  const char* libraryName;
  uintptr_t address;      // 0 until the library is loaded
  BYTE savedByte;
};

bool ReadRemote(HANDLE process, uintptr_t address, void* buffer, size_t size) {
  SIZE_T done = 0;
  return ReadProcessMemory(process, reinterpret_cast<LPCVOID>(address), buffer, size, &done) && done == size;
}

bool WriteRemoteByte(HANDLE process, uintptr_t address, BYTE value) {
  SIZE_T done = 0;
  const bool written = WriteProcessMemory(process, reinterpret_cast<LPVOID>(address), &value, 1, &done) && done == 1;
  FlushInstructionCache(process, reinterpret_cast<LPCVOID>(address), 1);
  return written;
}

std::string ReadRemoteText(HANDLE process, uintptr_t address) {
  std::string text;
  char c = 0;
  while (address != 0 && text.size() < 256 && ReadRemote(process, address + text.size(), &c, 1) && c != '\0') text += c;
  return text;
}

// The loaded module's file name: from the file handle where there is one,
// otherwise from the name pointer the loader gives.
std::string LoadedName(const LOAD_DLL_DEBUG_INFO& load, HANDLE process) {
  char path[MAX_PATH] = {};
  if (load.hFile != nullptr && GetFinalPathNameByHandleA(load.hFile, path, MAX_PATH, 0) > 0) return path;
  uintptr_t namePointer = 0;
  if (load.lpImageName == nullptr ||
      !ReadRemote(process, reinterpret_cast<uintptr_t>(load.lpImageName), &namePointer, sizeof namePointer) ||
      namePointer == 0)
    return std::string();
  if (!load.fUnicode) return ReadRemoteText(process, namePointer);
  std::string text;
  wchar_t w = 0;
  for (size_t i = 0; i < MAX_PATH && ReadRemote(process, namePointer + 2 * i, &w, 2) && w != 0; ++i)
    text += static_cast<char>(w < 128 ? w : '?');
  return text;
}

bool EndsWithName(const std::string& path, const char* name) {
  const size_t length = lstrlenA(name);
  if (path.size() < length) return false;
  const size_t start = path.size() - length;
  if (start > 0 && path[start - 1] != '\\' && path[start - 1] != '/') return false;
  return lstrcmpiA(path.c_str() + start, name) == 0;
}

void ArmOnLoad(Trap& trap, const LOAD_DLL_DEBUG_INFO& load) {
  if (trap.address != 0 || !EndsWithName(LoadedName(load, trap.process), trap.libraryName)) return;
  const uintptr_t address = reinterpret_cast<uintptr_t>(load.lpBaseOfDll) + trap.entryOffset;
  if (ReadRemote(trap.process, address, &trap.savedByte, 1) && WriteRemoteByte(trap.process, address, breakpointOpcode))
    trap.address = address;
}

// At the trap: read the arguments, put the entry back, and resume at its start.
void Spring(Trap& trap, DWORD threadId, TrappedCall& call) {
  HANDLE thread = OpenThread(THREAD_GET_CONTEXT | THREAD_SET_CONTEXT, FALSE, threadId);
  CONTEXT context = {};
  context.ContextFlags = CONTEXT_FULL;
  if (thread == nullptr || !GetThreadContext(thread, &context)) return;
#ifdef _WIN64
  call.textArgument = ReadRemoteText(trap.process, context.Rcx);
  call.windowArgument = context.Rdx;
  context.Rip = trap.address;
#else
  uint32_t arguments[3] = {};  // return address, then the arguments
  ReadRemote(trap.process, context.Esp, arguments, sizeof arguments);
  call.textArgument = ReadRemoteText(trap.process, arguments[1]);
  call.windowArgument = arguments[2];
  context.Eip = static_cast<DWORD>(trap.address);
#endif
  WriteRemoteByte(trap.process, trap.address, trap.savedByte);
  SetThreadContext(thread, &context);
  CloseHandle(thread);
  ++call.calls;
}

}  // namespace

TrappedCall RunWithCallTrap(const std::string& arguments, const char* libraryName, const char* entryName,
                            DWORD deadlineMs) {
  TrappedCall call = {false, 0, 0, std::string(), 0};
  HMODULE local = LoadLibraryA((SystemFolder() + "\\" + libraryName).c_str());
  const FARPROC entry = local != nullptr ? GetProcAddress(local, entryName) : nullptr;
  if (entry == nullptr) return call;

  std::string commandLine = "\"" + ProgramPath() + "\" " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr,
                      &startup, &process))
    return call;
  Trap trap = {process.hProcess, reinterpret_cast<uintptr_t>(entry) - reinterpret_cast<uintptr_t>(local), libraryName,
               0, 0};

  const DWORD start = GetTickCount();
  while (!call.finished && GetTickCount() - start < deadlineMs) {
    DEBUG_EVENT event = {};
    if (!WaitForDebugEvent(&event, 50)) {
      PumpMessagesFor(0);
      continue;
    }
    DWORD continueStatus = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT:
        if (event.u.CreateProcessInfo.hFile != nullptr) CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        ArmOnLoad(trap, event.u.LoadDll);
        if (event.u.LoadDll.hFile != nullptr) CloseHandle(event.u.LoadDll.hFile);
        break;
      case EXCEPTION_DEBUG_EVENT: {
        const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
        if (record.ExceptionCode == EXCEPTION_BREAKPOINT &&
            reinterpret_cast<uintptr_t>(record.ExceptionAddress) == trap.address && trap.address != 0)
          Spring(trap, event.dwThreadId, call);
        else if (record.ExceptionCode != EXCEPTION_BREAKPOINT)
          continueStatus = DBG_EXCEPTION_NOT_HANDLED;  // the program's own faults stay its own
        break;
      }
      case EXIT_PROCESS_DEBUG_EVENT:
        call.exitCode = event.u.ExitProcess.dwExitCode;
        call.finished = true;
        break;
      default: break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continueStatus);
  }
  if (!call.finished) TerminateProcess(process.hProcess, 1);
  WaitForSingleObject(process.hProcess, 5000);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  FreeLibrary(local);
  return call;
}
