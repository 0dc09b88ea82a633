#include "support/harness.h"

#include "scene/settings_registry_win32.h"

namespace {

// Dispatches messages until condition() holds or, when stopAtQuit, a WM_QUIT
// comes (true), or the deadline passes (false).
bool Pump(const std::function<bool()>& condition, DWORD deadlineMs, bool stopAtQuit) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (stopAtQuit && message.message == WM_QUIT) return true;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (condition()) return true;
    if (GetTickCount() - start >= deadlineMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD deadlineMs) { return Pump(condition, deadlineMs, false); }

bool WaitForQuitMessage(DWORD deadlineMs) {
  return Pump([] { return false; }, deadlineMs, true);
}

void PumpMessagesFor(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  WaitUntil([&] { return GetTickCount() - start >= milliseconds; }, milliseconds + 1000);
}

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

std::vector<uint8_t> CaptureClient(HWND window, int& width, int& height) {
  RECT client;
  GetClientRect(window, &client);
  width = client.right;
  height = client.bottom;
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
  BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
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

COLORREF ScreenPixel(HWND window, int x, int y) {
  int width = 0, height = 0;
  const std::vector<uint8_t> rgb = CaptureClient(window, width, height);
  if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
  const size_t i = (static_cast<size_t>(y) * width + x) * 3;
  return RGB(rgb[i], rgb[i + 1], rgb[i + 2]);
}
