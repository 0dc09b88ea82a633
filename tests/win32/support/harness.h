// harness.h - shared tools of the Win32 tests that run under Wine.
//
// Waiting is always polling with a deadline (the window appears, the process
// ends, a value is written), pumping this thread's messages meanwhile, so a
// test never hangs and never sleeps for a guessed time.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

constexpr DWORD defaultDeadlineMs = 20000;

// Pumps this thread's messages until condition() holds or the deadline passes.
bool WaitUntil(const std::function<bool()>& condition, DWORD deadlineMs = defaultDeadlineMs);
// Pumps this thread's messages until a WM_QUIT arrives; false at the deadline.
bool WaitForQuitMessage(DWORD deadlineMs = defaultDeadlineMs);
// Pumps messages for a while (for letting frames happen, never as a wait for a condition).
void PumpMessagesFor(DWORD milliseconds);

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

// RGB of the screen pixel at client point (x, y) of the window (row 0 at the
// top, as Windows counts), read back with GDI.
COLORREF ScreenPixel(HWND window, int x, int y);
// The whole client area as RGB triples, top row first.
std::vector<uint8_t> CaptureClient(HWND window, int& width, int& height);
