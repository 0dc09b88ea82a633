// host_state.h - what the saver host keeps, and shares between its files.
//
// The host is the part of the program that the operating system talks to: the
// command line, the saver window with its input rules, the other monitors'
// windows, and the password question. What it remembers between messages is
// its HostState, made by RunSaverWindow for the saver's run and reached from
// the windows through the session (Session::host), which carries it without
// knowing it; here are also its constants and tools.
#pragma once

#include <windows.h>

#include <cstdint>

#include "win32/session/session.h"

using AssociateContextEntry = HANDLE(WINAPI*)(HWND window, HANDLE context);               // ImmAssociateContext
using VerifyPasswordEntry = BOOL(WINAPI*)(HWND window);                                   // VerifyScreenSavePwd
using ChangePasswordEntry = DWORD(WINAPI*)(LPCSTR provider, HWND parent, DWORD, LPVOID);  // PwdChangePasswordA

constexpr uint32_t noQuestionYet = 0xFFFFFFFFu;  // lastCheckTick before the first question

// What the saver host keeps between messages.
struct HostState {
  bool childPreview = false;   // the saver runs inside another program's window
  POINT cursorReference = {};  // mouse travel is measured from here
  // The input-method link, detached while the saver window lives.
  HMODULE imeModule = nullptr;
  AssociateContextEntry associateContextEntry = nullptr;
  HANDLE savedImeContext = nullptr;
  // The password question.
  HMODULE passwordLibrary = nullptr;
  VerifyPasswordEntry verifierEntry = nullptr;  // set means a password is in use
  bool checkingPassword = false;                // while the question is under way
  bool closeApproved = false;                   // once a close was approved; never goes back
  uint32_t lastCheckTick = noQuestionYet;       // tick at which the last question ended
  uint32_t lastLayoutCheckTick = 0;             // when the monitors were last compared with the views' places
  // The display sleeps (monitor power off or low): no frame is composed.
  bool displayAsleep = false;
  HANDLE displayStateNotification = nullptr;  // the console display state registration; null: none
  UINT_PTR previewWatchTimer = 0;             // the thread timer that looks for a preview's parent; 0: none
  HWND previewParent = nullptr;               // the window a preview runs in
};

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
int32_t SetSaverRunning(bool running);
