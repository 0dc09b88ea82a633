// password.h - the screen-saver password: asking for it, and changing it.
//
// The program checks no password itself. When the user has switched the
// password on (HKCU "Control Panel\Desktop" "ScreenSaveUsePassword"), the
// full-screen saver loads the system's PASSWORD.CPL and every close request
// is put to its VerifyScreenSavePwd through verifyPasswordMessage sent to the
// saver window. The change mode hands the job to MPR.DLL's PwdChangePasswordA.
// Both libraries are taken from the system folder only, never found by the
// search path, so a copy placed beside the program or in the current folder
// is never run; where one is missing the feature is simply absent.
#pragma once

#include <windows.h>

#include <cstdint>

#include "win32/portable/command_line.h"
#include "win32/host/host_state.h"

void LoadPasswordVerifier(HostState& hostState);
void UnloadPasswordVerifier(HostState& hostState);
// True when the saver window may close now.
bool VerifyBeforeClose(HostState& hostState, HWND window);
void ChangePassword(HWND parent);
