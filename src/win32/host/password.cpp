// password.cpp - loading the password verifier, asking it, and the change mode.
#include "win32/host/password.h"

#include <cstdlib>
#include <cstring>

#include "win32/host/host_state.h"

namespace {

constexpr char desktopKeyPath[] = "Control Panel\\Desktop";
constexpr char usePasswordValue[] = "ScreenSaveUsePassword";

// A text switch as NT-family systems store it: its decimal value ("0" off,
// "1" on); text that is no number reads as 0.
bool TextSwitchOn(char* text, DWORD size) {
  text[size] = '\0';  // the stored text need not end in one
  return std::strtol(text, nullptr, 10) != 0;
}

// The user's switch. Missing, unreadable or zero: no password. Text is read
// as its decimal value; any other type as a number of at most 4 bytes, a
// shorter one filling the low bytes of a zeroed word, a longer one off.
bool PasswordSwitchedOn() {
  HKEY key;
  if (RegOpenKeyA(HKEY_CURRENT_USER, desktopKeyPath, &key) != ERROR_SUCCESS) return false;
  char stored[64 + 1] = {};  // room for a terminator after the longest text read
  DWORD type = REG_NONE, size = sizeof stored - 1;
  const LONG status = RegQueryValueExA(key, usePasswordValue, nullptr, &type, reinterpret_cast<BYTE*>(stored), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return false;
  if (type == REG_SZ) return TextSwitchOn(stored, size);
  uint32_t usePassword = 0;
  if (size > sizeof usePassword) return false;
  std::memcpy(&usePassword, stored, size);
  return usePassword != 0;
}

// Up to two frame ticks already queued are dropped rather than drawn late.
void DropQueuedTicks(HWND window) {
  MSG tick;
  PeekMessageA(&tick, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
  PeekMessageA(&tick, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
}

// LoadLibraryA of name in the system folder (full path); null when it is not there.
HMODULE LoadSystemLibrary(const char* name) {
  char path[MAX_PATH];
  const UINT length = GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;  // no usable folder: the library is absent
  size_t end = length;
  if (path[end - 1] != '\\') path[end++] = '\\';  // only a drive root ends in a separator already
  for (const char* c = name; *c != '\0'; ++c) {
    if (end + 1 >= MAX_PATH) return nullptr;
    path[end++] = *c;
  }
  path[end] = '\0';
  return LoadLibraryA(path);
}

}  // namespace

void LoadPasswordVerifier(HostState& hostState) {
  if (hostState.passwordLibrary != nullptr) UnloadPasswordVerifier(hostState);
  if (!PasswordSwitchedOn()) return;
  hostState.passwordLibrary = LoadSystemLibrary("PASSWORD.CPL");
  if (hostState.passwordLibrary == nullptr) return;
  hostState.verifierEntry = FindEntry<VerifyPasswordEntry>(hostState.passwordLibrary, "VerifyScreenSavePwd");
  if (hostState.verifierEntry != nullptr)
    SetSaverRunning(true);
  else
    UnloadPasswordVerifier(hostState);
}

void UnloadPasswordVerifier(HostState& hostState) {
  if (hostState.passwordLibrary == nullptr) return;
  FreeLibrary(hostState.passwordLibrary);
  hostState.passwordLibrary = nullptr;
  if (hostState.verifierEntry == nullptr) return;
  hostState.verifierEntry = nullptr;
  SetSaverRunning(false);
}

bool VerifyBeforeClose(HostState& hostState, HWND window) {
  if (hostState.checkingPassword || hostState.closeApproved) return false;  // no nested question
  if (hostState.verifierEntry == nullptr) {
    hostState.closeApproved = true;
    return true;
  }
  const uint32_t now = GetTickCount();
  if (hostState.lastCheckTick == noQuestionYet ||
      TicksSince(hostState.lastCheckTick, now) >= passwordQuestionInterval) {
    hostState.checkingPassword = true;
    DropQueuedTicks(window);
    // The prompt runs its own loop inside this call; the scene keeps drawing.
    hostState.closeApproved = SendMessageA(window, verifyPasswordMessage, 0, 0) != 0;
    hostState.checkingPassword = false;
    if (!hostState.closeApproved) SetCursor(nullptr);
    hostState.lastCheckTick = GetTickCount();
  }
  return hostState.closeApproved;
}

void ChangePassword(HWND parent) {
  HMODULE mpr = LoadSystemLibrary("MPR.DLL");
  if (mpr == nullptr) return;
  const auto change = FindEntry<ChangePasswordEntry>(mpr, "PwdChangePasswordA");
  if (change != nullptr) change("SCRSAVE", parent, 0, nullptr);  // its result changes nothing here
  FreeLibrary(mpr);
}
