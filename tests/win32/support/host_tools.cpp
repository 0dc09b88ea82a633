// host_tools.cpp - see host_tools.h.
#include "support/host_tools.h"

#include "password_standin/password_standin.h"
#include "session/scene_window_win32.h"

namespace {

constexpr char desktopKey[] = "Control Panel\\Desktop";
constexpr char usePasswordValue[] = "ScreenSaveUsePassword";
constexpr char wineTemporaryDesktopKey[] = "Software\\Wine\\Temporary System Parameters\\Control Panel\\Desktop";

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

}  // namespace

std::string SystemFolder() {
  char path[MAX_PATH] = {};
  GetSystemDirectoryA(path, MAX_PATH);
  return path;
}

std::string ProgramFolder() { return FolderOf(ProgramPath()); }

std::string StandinBuildPath() { return ToWindowsPath(VIMBREL_PASSWORD_STANDIN_PATH); }

bool PlaceStandin(const std::string& folder) {
  return CopyFileA(StandinBuildPath().c_str(), (folder + "\\PASSWORD.CPL").c_str(), FALSE) != 0;
}

void RemoveStandin(const std::string& folder) { DeleteFileA((folder + "\\PASSWORD.CPL").c_str()); }

void SetUsePasswordFlag(DWORD value) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, desktopKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return;
  RegSetValueExA(key, usePasswordValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
}

void RemoveUsePasswordFlag() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, desktopKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, usePasswordValue);
  RegCloseKey(key);
}

void ResetStandin(const char* script) {
  RegDeleteKeyA(HKEY_CURRENT_USER, standinKeyPath);
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, standinKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return;
  RegSetValueExA(key, "Script", 0, REG_SZ, reinterpret_cast<const BYTE*>(script), lstrlenA(script) + 1);
  RegCloseKey(key);
}

DWORD StandinNumber(const char* name) {
  DWORD value = 0;
  DWORD size = sizeof value;
  RegGetValueA(HKEY_CURRENT_USER, standinKeyPath, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
  return value;
}

std::string StandinText(const char* name) {
  char text[MAX_PATH] = {};
  DWORD size = sizeof text;
  RegGetValueA(HKEY_CURRENT_USER, standinKeyPath, name, RRF_RT_REG_SZ, nullptr, text, &size);
  return text;
}

int StoredSaverRunningState() {
  char text[16] = {};
  DWORD size = sizeof text;
  if (RegGetValueA(HKEY_CURRENT_USER, wineTemporaryDesktopKey, "WINE_ScreenSaverRunning", RRF_RT_REG_SZ, nullptr,
                   text, &size) != ERROR_SUCCESS)
    return -1;
  return text[0] == '0' ? 0 : 1;
}

SaverRun StartSaver(const std::string& arguments, const char* folder) {
  SaverRun saver = {StartProgram(arguments, folder), nullptr};
  if (saver.run.started)
    saver.window = WaitForProcessWindow(saver.run.process.dwProcessId, "WindowsScreenSaverClass", "Screen Saver");
  return saver;
}

bool HasEnded(ProgramRun& run) { return !run.started || WaitForSingleObject(run.process.hProcess, 0) == WAIT_OBJECT_0; }

bool StaysRunning(ProgramRun& run, DWORD milliseconds) {
  return !WaitUntil([&] { return HasEnded(run); }, milliseconds);
}

void PostKey(HWND window, WPARAM key) { PostMessageA(window, WM_KEYDOWN, key, 1); }

void PostSysKey(HWND window, WPARAM key) { PostMessageA(window, WM_SYSKEYDOWN, key, 0x20000001); }  // Alt held

void PostClick(HWND window) { PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10)); }

void MoveMouse(HWND window, int x, int y) {
  SetCursorPos(x, y);
  POINT client = {x, y};
  ScreenToClient(window, &client);
  PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
}

HWND WaitForSettingsDialog(DWORD processId, DWORD deadlineMs) {
  return WaitForProcessWindow(processId, "#32770", "Screen Saver Properties", deadlineMs);
}

void TypeKeySequence(HWND window) {
  for (const char* c = keySequence; *c != '\0'; ++c) PostKey(window, static_cast<WPARAM>(*c));
}

bool CursorHidden() {
  CURSORINFO info = {};
  info.cbSize = sizeof info;
  return GetCursorInfo(&info) && info.hCursor == nullptr;
}

HWND ShowOwnWindow() {
  static HWND own = CreateWindowExA(0, "STATIC", "host test window", WS_POPUP | WS_VISIBLE, 300, 250, 400, 300,
                                    nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(own);
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  WaitUntil([&] { return GetForegroundWindow() == own; }, 5000);
  return own;
}

namespace {

WPARAM lastContextMenuTarget = 0;

LRESULT CALLBACK PreviewParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CONTEXTMENU) {
    lastContextMenuTarget = wParam;
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

PreviewParent CreatePreviewParent(int clientWidth, int clientHeight) {
  static ATOM parentClass = 0;
  if (parentClass == 0) {
    WNDCLASSA description = {};
    description.lpfnWndProc = PreviewParentProc;
    description.hInstance = GetModuleHandleA(nullptr);
    description.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    description.lpszClassName = "VimbrelTestPreviewParent";
    parentClass = RegisterClassA(&description);
  }
  lastContextMenuTarget = 0;
  // A bare popup shown without activation: Wine leaves it to no window
  // manager, so it goes without waiting for one.
  HWND parent = CreateWindowExA(0, "VimbrelTestPreviewParent", "preview parent", WS_POPUP, 40, 40, clientWidth,
                                clientHeight, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ShowWindow(parent, SW_SHOWNOACTIVATE);
  return {parent};
}

WPARAM LastContextMenuTarget() { return lastContextMenuTarget; }

HWND WaitForPreviewWindow(HWND parent, DWORD deadlineMs) {
  HWND child = nullptr;
  WaitUntil(
      [&] {
        child = FindWindowExA(parent, nullptr, "WindowsScreenSaverClass", "Preview");
        return child != nullptr && IsWindowVisible(child);
      },
      deadlineMs);
  return child;
}

std::string HandleText(HWND window) {
  return std::to_string(static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window)));
}
