// password_standin.cpp - PASSWORD.CPL for the tests: VerifyScreenSavePwd
// answering from a script in the registry (password_standin.h). Never shipped.
#include <windows.h>

#include <cstdint>

#include "password_standin/password_standin.h"

namespace {

HMODULE standinModule = nullptr;

DWORD ReadNumber(HKEY key, const char* name) {
  DWORD value = 0, size = sizeof value;
  return RegGetValueA(key, nullptr, name, RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS ? value : 0;
}

void WriteNumber(HKEY key, const char* name, DWORD value) {
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

void WriteText(HKEY key, const char* name, const char* text) {
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), lstrlenA(text) + 1);
}

// The script's letter for this call (its last for calls past its end); 'R' without a script.
char ScriptLetter(HKEY key, DWORD call) {
  char script[64] = {};
  DWORD size = sizeof script;
  RegGetValueA(key, nullptr, "Script", RRF_RT_REG_SZ, nullptr, script, &size);
  const DWORD length = static_cast<DWORD>(lstrlenA(script));
  return length == 0 ? 'R' : script[call < length ? call : length - 1];
}

void DispatchPending() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) standinModule = instance;
  return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, standinKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return FALSE;
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));  // its prompt shows the arrow, as a real prompt does
  const DWORD call = ReadNumber(key, "Calls");
  const char letter = ScriptLetter(key, call);

  char path[MAX_PATH] = {};
  GetModuleFileNameA(standinModule, path, MAX_PATH);
  WriteText(key, "LoadedFrom", path);
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  WriteNumber(key, "SaverRunning", static_cast<DWORD>(running));
  WriteNumber(key, "LastWindow", static_cast<DWORD>(reinterpret_cast<uintptr_t>(window)));

  if (letter == 'N') {
    PostMessageA(window, WM_CLOSE, 0, 0);
    PostMessageA(window, WM_KEYDOWN, 'X', 0);
    DispatchPending();
  }
  if (letter == 'S') {  // a prompt that takes its time, running its own loop as a real one does
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 400) DispatchPending(), Sleep(10);
  }
  if (letter == 'K' || letter == 'S') PostMessageA(window, WM_KEYDOWN, 'X', 0);

  WriteNumber(key, "Calls", call + 1);
  WriteNumber(key, "LastEndTick", GetTickCount());
  RegCloseKey(key);
  return letter == 'A';
}
