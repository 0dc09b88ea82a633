// dialog_support.cpp - see dialog_support.h.
#include "support/dialog_support.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "config_ui/configure_dialog_win32.h"
#include "resources/resource_ids.h"
#include "scene/scene_window_win32.h"
#include "scene/settings_registry_win32.h"
#include "support/harness.h"

StandInScene standInScene;

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

void PumpPending() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (IsWindow(sceneDriver.dialogWindow) && IsDialogMessageA(sceneDriver.dialogWindow, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD deadlineMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    PumpPending();
    if (condition()) return true;
    if (GetTickCount() - start >= deadlineMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

namespace {

constexpr char standInClassName[] = "VimbrelDialogStandInScene";

LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == frameTimerId) standInScene.timerTicks.push_back(GetTickCount());
  if (message == WM_CLOSE) ++standInScene.closeRequests;
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

HWND CreateStandInScene() {
  InitCommonControls();
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = StandInProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = standInClassName;
  RegisterClassA(&windowClass);  // already there from an earlier test of this process: as good
  standInScene = {};
  // Hidden: it only needs its timer and its close; a shown window costs seconds to destroy under Wine.
  standInScene.window = CreateWindowExA(0, standInClassName, "Scene", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480,
                                        nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  sceneDriver.sceneWindow = standInScene.window;
  return standInScene.window;
}

void DestroyStandInScene() {
  if (IsWindow(standInScene.window)) DestroyWindow(standInScene.window);
  PumpPending();
  standInScene.window = nullptr;
}

HWND OpenDialogOver(HWND owner) {
  sceneDriver.instanceHandle = GetModuleHandleA(nullptr);
  sceneDriver.dialogWindow = CreateDialogParamA(sceneDriver.instanceHandle, MAKEINTRESOURCEA(IDD_SETTINGS), owner,
                                                ScreenSaverConfigureDialog, 0);
  ShowWindow(sceneDriver.dialogWindow, SW_SHOW);
  return sceneDriver.dialogWindow;
}

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

int32_t TrackbarPosition(HWND dialog, int trackbarId) {
  return static_cast<int32_t>(SendDlgItemMessageA(dialog, trackbarId, TBM_GETPOS, 0, 0));
}

std::string Decimal(int32_t value) { return std::to_string(value); }

namespace {

// Reads the template's little-endian words, strings and ordinals in turn.
struct TemplateReader {
  const uint8_t* bytes;
  size_t size;
  size_t at;
  bool failed;

  bool Has(size_t count) {
    if (at + count > size) failed = true;
    return !failed;
  }
  uint16_t Word() {
    if (!Has(2)) return 0;
    const uint16_t value = static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
    at += 2;
    return value;
  }
  uint32_t Dword() {
    const uint32_t low = Word();
    return low | static_cast<uint32_t>(Word()) << 16;
  }
  int Short() { return static_cast<int16_t>(Word()); }
  std::string String() {
    std::string text;
    for (uint16_t c = Word(); c != 0 && !failed; c = Word()) text += c < 0x80 ? static_cast<char>(c) : '?';
    return text;
  }
  // A string, or 0xFFFF and an ordinal, which names gives a name to.
  std::string StringOrOrdinal(bool isClass) {
    if (!Has(2)) return {};
    if (bytes[at] == 0xFF && bytes[at + 1] == 0xFF) {
      Word();
      const uint16_t ordinal = Word();
      static const char* const classAtoms[] = {"button", "edit", "static", "listbox", "scrollbar", "combobox"};
      if (isClass && ordinal >= 0x80 && ordinal <= 0x85) return classAtoms[ordinal - 0x80];
      return "#" + std::to_string(ordinal);
    }
    return String();
  }
  void AlignDword() { at = (at + 3) & ~static_cast<size_t>(3); }
};

}  // namespace

bool ReadDialogTemplate(int templateId, DialogTemplate& dialog) {
  const HMODULE module = GetModuleHandleA(nullptr);
  const HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(5));  // RT_DIALOG
  if (resource == nullptr) return false;
  const HGLOBAL loaded = LoadResource(module, resource);
  TemplateReader in{static_cast<const uint8_t*>(LockResource(loaded)), SizeofResource(module, resource), 0, false};
  if (in.bytes == nullptr) return false;
  const bool extended = in.size >= 4 && in.bytes[2] == 0xFF && in.bytes[3] == 0xFF;
  if (extended) {
    in.Dword();  // version and signature
    in.Dword();  // help id
    dialog.extendedStyle = in.Dword();
    dialog.style = in.Dword();
  } else {
    dialog.style = in.Dword();
    dialog.extendedStyle = in.Dword();
  }
  const int count = in.Word();
  dialog.x = in.Short();
  dialog.y = in.Short();
  dialog.width = in.Short();
  dialog.height = in.Short();
  dialog.menu = in.StringOrOrdinal(false);
  dialog.className = in.StringOrOrdinal(false);
  dialog.caption = in.String();
  dialog.fontSize = 0;
  if (dialog.style & DS_SETFONT) {
    dialog.fontSize = in.Word();
    if (extended) in.Dword();  // weight, italic, character set
    dialog.fontName = in.String();
  }
  dialog.controls.clear();
  for (int i = 0; i < count && !in.failed; ++i) {
    in.AlignDword();
    TemplateControl control;
    if (extended) {
      in.Dword();  // help id
      in.Dword();  // extended style
      control.style = in.Dword();
    } else {
      control.style = in.Dword();
      in.Dword();  // extended style
    }
    control.x = in.Short();
    control.y = in.Short();
    control.width = in.Short();
    control.height = in.Short();
    control.id = extended ? static_cast<int32_t>(in.Dword()) : in.Short();
    control.className = LowerCase(in.StringOrOrdinal(true));
    control.text = in.StringOrOrdinal(false);
    in.at += in.Word();  // creation data
    dialog.controls.push_back(control);
  }
  return !in.failed;
}
