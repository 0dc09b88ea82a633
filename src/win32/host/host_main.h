// host_main.h - the program's entry: one mode per run, its result the exit code.
//
// HostMain makes the session, reads the switch of the argument text
// (command_line.h) and runs that mode to its end under a fault guard:
//   settings      RunConfigureMode   -> 0 (or -1 when no window could be made)
//   's'           RunSaverWindow     -> 0 (or -1 when no window could be made)
//   'p' / 'l' N   RunChildPreview    -> -1 when N is not a window or is the desktop, else as 's'
//   'a' [N]       RunChangePasswordMode -> 0
//   anything else                    -> -1
#pragma once

#include <windows.h>

#include <cstdint>

#include "win32/session/session.h"

int32_t HostMain(HINSTANCE instance, HINSTANCE previousInstance, const char* argumentText, int showCommand);

// Runs mode(text) with the fault guard in place: a fault that nothing else
// handles goes to the system's unhandled-fault handling first; when that
// hands control back, the saver-running state is switched off and the
// process ends with that call's result as its exit code.
int32_t RunGuarded(int32_t (*mode)(Session& session, const char* text), Session& session, const char* text);
