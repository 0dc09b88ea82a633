// harness.h - shared tools of the Win32 tests that run under Wine.
//
// Waiting is always polling with a deadline (the window appears, the process
// ends, a value is written), pumping this thread's messages meanwhile, so a
// test never hangs and never sleeps for a guessed time.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "scene/settings_record.h"

constexpr DWORD defaultDeadlineMs = 20000;

// Pumps this thread's messages until condition() holds or the deadline passes.
bool WaitUntil(const std::function<bool()>& condition, DWORD deadlineMs = defaultDeadlineMs);

// The program under test (vimbrel.scr or vimbrel64.scr of this build), as a Windows path.
std::string ProgramPath();
std::string ToWindowsPath(const std::string& unixPath);

struct ProgramRun {
  PROCESS_INFORMATION process;
  bool started;
};
// Starts the program with the given argument text (may be empty) in folder
// (null: the test's own current folder).
ProgramRun StartProgram(const std::string& arguments, const char* folder = nullptr);
// The exit code, or the value timedOut when the process did not end in time
// (it is then terminated so that no test leaves a process behind).
constexpr DWORD timedOut = 0xDEADBEEF;
DWORD WaitForExit(ProgramRun& run, DWORD deadlineMs = defaultDeadlineMs);
void EndProgram(ProgramRun& run);

// The first visible top-level window of the process with that class and title
// (either may be null), waiting up to the deadline.
HWND WaitForProcessWindow(DWORD processId, const char* className, const char* title,
                          DWORD deadlineMs = defaultDeadlineMs);

// The settings value in HKCU, as the tests see it.
void DeleteSettingsKey();
bool ReadSettingsValue(std::vector<uint8_t>& bytes, DWORD& type);
void WriteSettingsValue(const std::vector<uint8_t>& bytes, DWORD type);

// The whole client area as RGB triples, top row first.
std::vector<uint8_t> CaptureClient(HWND window, int& width, int& height);
// A rectangle of the screen as shown, whatever windows lie there.
std::vector<uint8_t> CaptureScreen(const RECT& rect);

// Gives this process a private HKEY_CURRENT_USER (a fresh key of its own),
// so that tests running side by side never see each other's settings.
void IsolateCurrentUser();
// The stored "Config" value's bytes; false when there is none.
bool ReadStoredSettings(std::vector<uint8_t>& bytes);
void StoreSettings(const SettingsRecord& record);
std::vector<uint8_t> BytesOf(const SettingsRecord& record);

// The settings dialog driven the way its controls drive it: a trackbar is
// given a position and then reports WM_HSCROLL to the dialog, buttons and
// check boxes are clicked with BM_CLICK.
void MoveTrackbar(HWND dialog, int trackbarId, int32_t position, WORD notification = TB_THUMBTRACK);
// A field's control and value label, from the field table.
inline int Control(const char* field) { return FindSettingsField(field)->controlId; }
inline int Label(const char* field) { return FindSettingsField(field)->labelId; }
void ClickControl(HWND dialog, int controlId);
std::string ControlText(HWND dialog, int controlId);
// Class names in lower case, as the system compares them without case.
std::string LowerCase(std::string text);
std::string ClassOf(HWND window);
