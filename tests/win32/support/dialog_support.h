// dialog_support.h - driving the settings dialog from Win32 tests.
//
// The dialog is driven the way its controls drive it: a trackbar is given a
// position and then reports WM_HSCROLL to the dialog, buttons and check
// boxes are clicked with BM_CLICK. Waiting is always on a condition with a
// deadline, pumping the thread's messages meanwhile.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "scene/settings_record.h"

// Gives this process a private HKEY_CURRENT_USER (a fresh key of its own),
// so that tests running side by side never see each other's settings.
void IsolateCurrentUser();
// The stored "Config" value's bytes; false when there is none.
bool ReadStoredSettings(std::vector<uint8_t>& bytes);
void StoreSettings(const SettingsRecord& record);
std::vector<uint8_t> BytesOf(const SettingsRecord& record);

// Pumps this thread's messages until condition() holds or deadlineMs passes.
bool PumpUntil(const std::function<bool()>& condition, DWORD deadlineMs);
void PumpPending();

// A plain top-level window standing in for the scene: it records the time
// of every frameTimer tick and every WM_CLOSE, and lets WM_CLOSE destroy it.
struct StandInScene {
  HWND window;
  std::vector<DWORD> timerTicks;
  int closeRequests;
};
extern StandInScene standInScene;
HWND CreateStandInScene();
void DestroyStandInScene();
// Creates the dialog from the program's template over owner, as the scene
// driver does, and records it as dialogWindow.
HWND OpenDialogOver(HWND owner);

void MoveTrackbar(HWND dialog, int trackbarId, int32_t position, WORD notification = TB_THUMBTRACK);
void ClickControl(HWND dialog, int controlId);
std::string ControlText(HWND dialog, int controlId);
// Class names in lower case, as the system compares them without case.
std::string LowerCase(std::string text);
std::string ClassOf(HWND window);
int32_t TrackbarPosition(HWND dialog, int trackbarId);
std::string Decimal(int32_t value);

// Dialog template 2003 as compiled into this module.
struct TemplateControl {
  DWORD style;
  int x, y, width, height;
  int id;  // -1 for the controls that are never addressed
  std::string className;  // lower case
  std::string text;
};
struct DialogTemplate {
  DWORD style, extendedStyle;
  int x, y, width, height;
  std::string menu, className, caption;
  int fontSize;
  std::string fontName;
  std::vector<TemplateControl> controls;
};
bool ReadDialogTemplate(int templateId, DialogTemplate& dialog);
