// host_call_trap.h - watching the program under test call an entry of a
// system library, by running it under this test as its debugger.
//
// When the library is loaded, a breakpoint goes on the entry; when it is hit,
// the first two arguments are read (a text and a window handle, as for
// PwdChangePasswordA), the entry's first byte is put back and the program
// runs on. The entry itself still runs: the real system library answers.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

struct TrappedCall {
  bool finished;         // the program ended before the deadline
  DWORD exitCode;
  int calls;             // how many times the entry was reached (the trap is re-armed by nothing: 0 or 1)
  std::string textArgument;
  uintptr_t windowArgument;
};

TrappedCall RunWithCallTrap(const std::string& arguments, const char* libraryName, const char* entryName,
                            DWORD deadlineMs);
