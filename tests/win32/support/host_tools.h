// host_tools.h - tools of the saver-host tests: starting the real program as
// a saver, driving it with window messages, the password stand-in and the
// registry switches it depends on.
#pragma once

#include <windows.h>

#include <string>

#include "support/harness.h"

// Where the host's tests put things.
std::string SystemFolder();   // GetSystemDirectoryA, as this 32/64-bit process sees it
std::string ProgramFolder();  // the folder of the program under test
std::string StandinBuildPath();  // the built PASSWORD.CPL stand-in

// Copies the stand-in into folder as PASSWORD.CPL / removes it again.
bool PlaceStandin(const std::string& folder);
void RemoveStandin(const std::string& folder);

// HKCU "Control Panel\Desktop" "ScreenSaveUsePassword": set as a DWORD, or removed.
void SetUsePasswordFlag(DWORD value);
void RemoveUsePasswordFlag();

// The stand-in's script and record (password_standin.h).
void ResetStandin(const char* script);
DWORD StandinNumber(const char* name);
std::string StandinText(const char* name);

// The system's saver-running state as Wine keeps it for every process
// (SPI_SCREENSAVERRUNNING is cached per process once read, so the tests read
// the stored value): 0 or 1, or -1 when it was never set.
int StoredSaverRunningState();

// A full-screen saver of the program under test, started with arguments,
// and its "Screen Saver" window once it is shown (null when none came).
struct SaverRun {
  ProgramRun run;
  HWND window;
};
SaverRun StartSaver(const std::string& arguments = "/s", const char* folder = nullptr);

// Whether the process is still running after being given a quiet spell of
// milliseconds to end in. Only for checks that something does NOT end the
// program: the ending would come within a few messages, so a short spell
// with the process still there is the answer.
bool StaysRunning(ProgramRun& run, DWORD milliseconds = 400);
bool HasEnded(ProgramRun& run);

void PostKey(HWND window, WPARAM key);
void PostSysKey(HWND window, WPARAM key);
void PostClick(HWND window);
// Puts the cursor at screen point (x, y) and tells the window the mouse moved.
void MoveMouse(HWND window, int x, int y);

// The settings dialog ("Screen Saver Properties") of the process, once visible.
HWND WaitForSettingsDialog(DWORD processId, DWORD deadlineMs = defaultDeadlineMs);
// Types the hidden key sequence into the saver window.
void TypeKeySequence(HWND window);

// Whether the cursor that the foreground thread shows is none (hidden).
bool CursorHidden();

// A window of the test's own under the cursor's start point (500, 400), with
// the arrow cursor, brought to the foreground: a visible cursor and a
// foreground window to compare with. Made once and kept for the whole test
// program: Wine waits for a window manager (there is none here) whenever an
// activated window is hidden or destroyed.
HWND ShowOwnWindow();

// A top-level window of the test's own that records the WM_CONTEXTMENU and
// WM_HELP messages it receives, as a preview's parent.
struct PreviewParent {
  HWND window;
};
PreviewParent CreatePreviewParent(int clientWidth, int clientHeight);
// The wParam of the last WM_CONTEXTMENU the parent received (0: none yet).
WPARAM LastContextMenuTarget();
// The child "Preview" saver window in parent, once it is there and visible.
HWND WaitForPreviewWindow(HWND parent, DWORD deadlineMs = defaultDeadlineMs);
// The window handle as the command line writes it.
std::string HandleText(HWND window);
