#include "support/harness.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "session/settings_registry_win32.h"

namespace {

// Dispatches messages until condition() holds (true) or the deadline passes (false).
bool Pump(const std::function<bool()>& condition, DWORD deadlineMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (condition()) return true;
    if (GetTickCount() - start >= deadlineMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD deadlineMs) { return Pump(condition, deadlineMs); }

std::string ToWindowsPath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string ProgramPath() { return ToWindowsPath(VIMBREL_SCR_PATH); }

ProgramRun StartProgram(const std::string& arguments, const char* folder) {
  std::string commandLine = "\"" + ProgramPath() + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  ProgramRun run = {};
  run.started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                               &run.process) != 0;
  return run;
}

DWORD WaitForExit(ProgramRun& run, DWORD deadlineMs) {
  if (!run.started) return timedOut;
  const bool ended = WaitUntil(
      [&] { return WaitForSingleObject(run.process.hProcess, 0) == WAIT_OBJECT_0; }, deadlineMs);
  if (!ended) {
    EndProgram(run);
    return timedOut;
  }
  DWORD code = timedOut;
  GetExitCodeProcess(run.process.hProcess, &code);
  EndProgram(run);  // already ended: only closes the handles
  return code;
}

void EndProgram(ProgramRun& run) {
  if (!run.started) return;
  TerminateProcess(run.process.hProcess, 1);
  WaitForSingleObject(run.process.hProcess, 5000);
  CloseHandle(run.process.hProcess);
  CloseHandle(run.process.hThread);
  run.started = false;
}

namespace {

struct WindowQuery {
  DWORD processId;
  const char* className;
  const char* title;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  WindowQuery& query = *reinterpret_cast<WindowQuery*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != query.processId || !IsWindowVisible(window)) return TRUE;
  char text[256] = {};
  if (query.className != nullptr && (GetClassNameA(window, text, sizeof text), lstrcmpA(text, query.className) != 0))
    return TRUE;
  if (query.title != nullptr && (GetWindowTextA(window, text, sizeof text), lstrcmpA(text, query.title) != 0))
    return TRUE;
  query.found = window;
  return FALSE;
}

}  // namespace

HWND WaitForProcessWindow(DWORD processId, const char* className, const char* title, DWORD deadlineMs) {
  WindowQuery query = {processId, className, title, nullptr};
  WaitUntil(
      [&] {
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
        return query.found != nullptr;
      },
      deadlineMs);
  return query.found;
}

void DeleteSettingsKey() { RegDeleteKeyA(HKEY_CURRENT_USER, settingsKeyPath); }

bool ReadSettingsValue(std::vector<uint8_t>& bytes, DWORD& type) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, settingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  LONG status = RegQueryValueExA(key, settingsValueName, nullptr, &type, nullptr, &size);
  bytes.assign(size, 0);
  if (status == ERROR_SUCCESS && size > 0)
    status = RegQueryValueExA(key, settingsValueName, nullptr, &type, bytes.data(), &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

void WriteSettingsValue(const std::vector<uint8_t>& bytes, DWORD type) {
  HKEY key;
  RegCreateKeyExA(HKEY_CURRENT_USER, settingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  RegSetValueExA(key, settingsValueName, 0, type, bytes.data(), static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
}

namespace {

// The window's (null: the screen's) pixels from x, y on, as RGB triples.
std::vector<uint8_t> Capture(HWND window, int x, int y, int width, int height) {
  std::vector<uint8_t> rgb;
  if (width <= 0 || height <= 0) return rgb;
  HDC source = GetDC(window);
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
  GdiFlush();
  const uint8_t* pixels = static_cast<const uint8_t*>(bits);
  rgb.resize(static_cast<size_t>(width) * height * 3);
  for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
    rgb[3 * i] = pixels[4 * i + 2];
    rgb[3 * i + 1] = pixels[4 * i + 1];
    rgb[3 * i + 2] = pixels[4 * i];
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, source);
  return rgb;
}

}  // namespace

std::vector<uint8_t> CaptureClient(HWND window, int& width, int& height) {
  RECT client;
  GetClientRect(window, &client);
  width = client.right;
  height = client.bottom;
  return Capture(window, 0, 0, width, height);
}

std::vector<uint8_t> CaptureScreen(const RECT& rect) {
  return Capture(nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

namespace {

char privateUserPath[64];

void DropPrivateUser() {
  RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  RegDeleteTreeA(HKEY_CURRENT_USER, privateUserPath);
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\VimbrelTests");  // only when no other test's user is left
}

}  // namespace

void IsolateCurrentUser() {
  if (privateUserPath[0] != '\0') return;
  std::snprintf(privateUserPath, sizeof privateUserPath, "Software\\VimbrelTests\\DialogUser%lu",
                GetCurrentProcessId());
  RegDeleteTreeA(HKEY_CURRENT_USER, privateUserPath);  // a left-over of an earlier process with the same id
  HKEY privateUser;
  // Not volatile: the program creates its key non-volatile, which a volatile parent refuses.
  if (RegCreateKeyExA(HKEY_CURRENT_USER, privateUserPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &privateUser,
                      nullptr) != ERROR_SUCCESS)
    return;
  RegOverridePredefKey(HKEY_CURRENT_USER, privateUser);
  std::atexit(DropPrivateUser);
}

bool ReadStoredSettings(std::vector<uint8_t>& bytes) {
  DWORD type = 0;
  return ReadSettingsValue(bytes, type);
}

std::vector<uint8_t> BytesOf(const SettingsRecord& record) {
  std::vector<uint8_t> bytes(settingsRecordSize);
  SettingsToBytes(record, bytes.data());
  return bytes;
}

void StoreSettings(const SettingsRecord& record) { WriteSettingsValue(BytesOf(record), REG_BINARY); }

void MoveTrackbar(HWND dialog, int trackbarId, int32_t position, WORD notification) {
  HWND trackbar = GetDlgItem(dialog, trackbarId);
  SendMessageA(trackbar, TBM_SETPOS, TRUE, position);
  // What the trackbar itself sends its parent while it is dragged or stepped.
  const WORD reported = static_cast<WORD>(SendMessageA(trackbar, TBM_GETPOS, 0, 0));
  SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(notification, reported), reinterpret_cast<LPARAM>(trackbar));
}

void ClickControl(HWND dialog, int controlId) { SendMessageA(GetDlgItem(dialog, controlId), BM_CLICK, 0, 0); }

std::string ControlText(HWND dialog, int controlId) {
  char text[256] = {};
  GetDlgItemTextA(dialog, controlId, text, sizeof text);
  return text;
}

std::string LowerCase(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

std::string ClassOf(HWND window) {
  char name[128] = {};
  GetClassNameA(window, name, sizeof name);
  return LowerCase(name);
}
