// host_state.h - what the saver host shares between its files.
//
// The host is the part of the program that the operating system talks to: the
// command line, the saver window with its input rules, and the password
// question. What it remembers between messages lives in the session's
// HostState (win32/session/session.h); here are its constants and tools.
#pragma once

#include <windows.h>

#include <cstdint>

#include "win32/session/session.h"

using ChangePasswordEntry = DWORD(WINAPI*)(LPCSTR provider, HWND parent, DWORD, LPVOID);  // PwdChangePasswordA

// An entry of a library loaded at run time, typed. Going through void (*)()
// says the cast between function types is meant.
template <typename Entry>
Entry FindEntry(HMODULE module, const char* name) {
  return reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

constexpr uint32_t mouseThreshold = 4;              // pixels, summed over both axes
constexpr UINT verifyPasswordMessage = 0x8000;      // asks the saver window for the password
constexpr uint32_t passwordQuestionInterval = 200;  // ms between one question's end and the next

// Tells the system whether a saver is running (SPI_SCREENSAVERRUNNING);
// returns the system's answer.
int32_t SetSaverRunning(int32_t running);
