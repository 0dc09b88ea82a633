// win_main.cpp - the program's entry: HostMain with the argument text.
//
// The argument text is cut from the whole command line here rather than
// taken from the run-time's lpCmdLine, so the program-name rules are this
// program's own (command_line.h) whatever run-time it is linked with.
#include <windows.h>

#include "win32/portable/command_line.h"
#include "win32/host/host_main.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR, int showCommand) {
  return HostMain(instance, previousInstance, ArgumentText(GetCommandLineA()), showCommand);
}
