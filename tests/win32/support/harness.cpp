// harness.cpp - the Win32 tests' tools (harness.h): starting the program under
// Wine, polling with deadlines, registry values, input and pixels.
#include "support/harness.h"

#include <gtest/gtest.h>

#include "win32/image/bitmap_resource.h"
#include "password_standin/password_standin.h"
#include "win32/resources/resource_ids.h"

namespace {

std::string ToWindowsPath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

}  // namespace

std::string ProgramPath() { return ToWindowsPath(VIMBREL_SCR_PATH); }

bool WaitUntil(const std::function<bool()>& condition, DWORD deadlineMs) {
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

ProgramRun StartProgram(const std::string& arguments, const char* folder, const char* program) {
  std::string commandLine = "\"" + (program != nullptr ? std::string(program) : ProgramPath()) + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  ProgramRun run = {};
  run.started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                               &run.process) != 0;
  return run;
}

DWORD WaitForExit(ProgramRun& run, DWORD deadlineMs) {
  DWORD code = timedOut;
  if (WaitUntil([&] { return HasEnded(run); }, deadlineMs) && run.started)
    GetExitCodeProcess(run.process.hProcess, &code);
  EndProgram(run);  // terminates it when it did not end; else only closes the handles
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

HWND WaitForProcessWindow(DWORD processId, const char* className, const char* title, DWORD deadlineMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, className, title)) != nullptr;) {
          DWORD owner = 0;
          GetWindowThreadProcessId(w, &owner);
          if (owner == processId && IsWindowVisible(w)) return (found = w) != nullptr;
        }
        return false;
      },
      deadlineMs);
  return found;
}

SaverRun StartSaver(const std::string& arguments, const char* folder) {
  SaverRun saver = {StartProgram(arguments, folder), nullptr};
  if (saver.run.started)
    saver.window = WaitForProcessWindow(saver.run.process.dwProcessId, "WindowsScreenSaverClass", "Screen Saver");
  return saver;
}

bool ReadUserValue(const char* key, const char* name, std::vector<uint8_t>& bytes, DWORD& type) {
  DWORD size = 0;
  LONG status = RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, &size);
  bytes.assign(size, 0);
  if (status == ERROR_SUCCESS && size > 0)
    status = RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_ANY | RRF_NOEXPAND, &type, bytes.data(), &size);
  return status == ERROR_SUCCESS;
}

int StoredSaverRunningState() {
  char text[16] = {};
  DWORD size = sizeof text;
  if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Wine\\Temporary System Parameters\\Control Panel\\Desktop",
                   "WINE_ScreenSaverRunning", RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
    return -1;
  return text[0] == '0' ? 0 : 1;
}

std::string SystemFolder() {
  char path[MAX_PATH] = {};
  GetSystemDirectoryA(path, MAX_PATH);
  return path;
}

std::string ProgramFolder() {
  const std::string path = ProgramPath();
  return path.substr(0, path.find_last_of('\\'));
}

bool PlaceStandin(const std::string& folder) {
  return CopyFileA(ToWindowsPath(VIMBREL_PASSWORD_STANDIN_PATH).c_str(), (folder + "\\PASSWORD.CPL").c_str(), FALSE) !=
         0;
}

void ResetStandin(const char* script) {
  RegDeleteKeyA(HKEY_CURRENT_USER, standinKeyPath);
  SetUserValue(standinKeyPath, "Script", REG_SZ, script, lstrlenA(script) + 1);
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

void MoveMouse(HWND window, int x, int y) {
  SetCursorPos(x, y);
  POINT client = {x, y};
  ScreenToClient(window, &client);
  PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
}

bool CursorHidden() {
  CURSORINFO info = {};
  info.cbSize = sizeof info;
  return GetCursorInfo(&info) && info.hCursor == nullptr;
}

HWND ShowOwnWindow() {
  static HWND own = CreateWindowExA(0, "STATIC", "host test window", WS_POPUP | WS_VISIBLE, 300, 250, 400, 300, nullptr,
                                    nullptr, nullptr, nullptr);
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

HWND CreatePreviewParent(int clientWidth, int clientHeight) {
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
  return parent;
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

void MoveTrackbar(HWND dialog, int trackbarId, int32_t position, WORD notification) {
  HWND trackbar = GetDlgItem(dialog, trackbarId);
  SendMessageA(trackbar, TBM_SETPOS, TRUE, position);
  // What the trackbar itself sends its parent while it is dragged or stepped.
  const WORD reported = static_cast<WORD>(SendMessageA(trackbar, TBM_GETPOS, 0, 0));
  SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(notification, reported), reinterpret_cast<LPARAM>(trackbar));
}

std::string ControlText(HWND dialog, int controlId) {
  char text[256] = {};
  GetDlgItemTextA(dialog, controlId, text, sizeof text);
  return text;
}

namespace {

// The window's (null: the screen's) pixels from x, y on.
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
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = pixels[i / 3 * 4 + 2 - i % 3];  // blue, green, red, 0
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

SceneInitResult MakeLinkedScene(TestScene& t, int32_t width, int32_t height, int32_t staticColours) {
  SoftwarePalette palette{};
  palette.display = staticColours == 20 ? StandardStaticDisplay() : TrueColourDisplay();
  HINSTANCE self = GetModuleHandleA(nullptr);
  return MakeScene(t.scene, width, height, LoadBitmapResourceBytes(self, IDB_FLOOR),
                   LoadBitmapResourceBytes(self, IDB_FACE_PATTERN), SoftwarePaletteBackend(palette));
}

SettingsRecord FrozenPose() {
  SettingsRecord record = DefaultSettings();
  record.pyramidTurn = record.pyramidJourney = record.dodecaTurn = record.dodecaJourney = 0;
  record.pyramidTurnTick = 13000;
  record.pyramidJourneyTick = 21000;
  record.dodecaTurnTick = 7000;
  record.dodecaJourneyTick = 30000;
  record.showGrid = 1;
  return record;
}

std::vector<uint8_t> ExpectedScreen(const SettingsRecord& record, int width, int height, uint32_t tick) {
  TestScene t;
  EXPECT_EQ(MakeLinkedScene(t, width, height, 0), SceneInitResult::ok);
  DrawSceneFrame(t.scene, record, tick);
  const Scene& scene = t.scene;
  std::vector<uint8_t> rgb;
  for (int y = height - 1; y >= 0; --y)  // frame row 0 is the bottom of the screen
    for (int x = 0; x < width; ++x) {
      const PaletteEntry& e = scene.palette.entries[scene.framePixels[y * scene.frameStride + x]];
      rgb.insert(rgb.end(), {e.red, e.green, e.blue});
    }
  return rgb;
}

size_t Mismatches(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size()) return a.size() + b.size();
  size_t count = 0;
  for (size_t i = 0; i < a.size(); i += 3) count += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
  return count;
}
