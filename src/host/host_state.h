// host_state.h - the saver host's one state record.
//
// The host is the part of the program that the operating system talks to: the
// command line, the saver window with its input rules, and the password
// question. Everything it remembers between messages lives here, in one
// global record that a test can put back to the state of a fresh process.
#pragma once

#include <windows.h>

#include <cstdint>

using AssociateContextEntry = HANDLE(WINAPI*)(HWND window, HANDLE context);  // ImmAssociateContext
using VerifyPasswordEntry = BOOL(WINAPI*)(HWND window);                      // VerifyScreenSavePwd
using ChangePasswordEntry = DWORD(WINAPI*)(LPCSTR provider, HWND parent, DWORD, LPVOID);  // PwdChangePasswordA

// An entry of a library loaded at run time, typed. Going through void (*)()
// says the cast between function types is meant.
template <typename Entry>
Entry FindEntry(HMODULE module, const char* name) {
  return reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

constexpr int32_t maxCoverWindows = 15;  // monitors beyond the scene's; any further ones stay uncovered

struct HostState {
  int32_t childPreview;  // 1: the saver runs inside another program's window
  POINT cursorReference;  // mouse travel is measured from here
  // The input-method link, detached while the saver window lives.
  HMODULE imeModule;
  AssociateContextEntry associateContextEntry;
  HANDLE savedImeContext;
  // The password question.
  HMODULE passwordLibrary;
  VerifyPasswordEntry verifierEntry;  // set means a password is in use
  int32_t checkingPassword;           // 1 while the question is under way
  int32_t closeApproved;              // 1 once a close was approved; never goes back
  uint32_t lastCheckTick;             // tick at which the last question ended
  // The black windows over the other monitors (cover_windows_win32.h).
  HWND coverWindows[maxCoverWindows];
  int32_t coverCount;
};

extern HostState hostState;

constexpr uint32_t noQuestionYet = 0xFFFFFFFFu;  // lastCheckTick before the first question
constexpr uint32_t mouseThreshold = 4;           // pixels, summed over both axes
constexpr UINT verifyPasswordMessage = 0x8000;   // asks the saver window for the password
constexpr uint32_t passwordQuestionInterval = 200;  // ms between one question's end and the next

// Tells the system whether a saver is running (SPI_SCREENSAVERRUNNING);
// returns the system's answer.
int32_t SetSaverRunning(int32_t running);
