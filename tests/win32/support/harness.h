// harness.h - the tools of the Win32 tests that run under Wine: starting the
// real program and waiting for its windows and its end, the registry values
// it reads and writes, the password stand-in, input posted to its windows,
// reading pixels back, and the frames the portable core draws for them.
//
// Waiting is always polling with a deadline (the window appears, the process
// ends, a value is written), pumping this thread's messages meanwhile, so a
// test never hangs and never sleeps for a guessed time.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "win32/host/host_state.h"
#include "core/scene/settings_record.h"
#include "win32/config_ui/dialog_controls.h"
#include "scene/test_scene.h"
#include "win32/session/scene_window.h"
#include "win32/session/settings_registry.h"

constexpr DWORD defaultDeadlineMs = 20000;

// What users already have and already know, written out here rather than
// taken from the program, so that a change of either fails a test: where
// the settings are stored, the hidden key sequence, and the frame ticks of
// held-off input after the settings dialog over the saver closes.
constexpr char storedKeyPath[] = "Software\\Kelvarn\\ScreenSavers\\Vimbrel";
constexpr char storedRecordName[] = "Config";
constexpr char storedEveryMonitorName[] = "EveryMonitor";
constexpr char typedKeySequence[] = "ZKVMQ";
constexpr int32_t heldOffTicks = 5;
constexpr DWORD defaultFrameTimeMs = 100;

// Pumps this thread's messages until condition() holds or the deadline passes.
bool WaitUntil(const std::function<bool()>& condition, DWORD deadlineMs = defaultDeadlineMs);

// --- the program under test (vimbrel.scr or vimbrel64.scr of this build)
struct ProgramRun {
  PROCESS_INFORMATION process;
  bool started;
};
// Starts the program (null: the one under test) with the given argument text
// (may be empty) in folder (null: the test's own current folder).
ProgramRun StartProgram(const std::string& arguments, const char* folder = nullptr, const char* program = nullptr);
// The exit code, or the value timedOut when the process did not end in time
// (it is then terminated so that no test leaves a process behind).
constexpr DWORD timedOut = 0xDEADBEEF;
DWORD WaitForExit(ProgramRun& run, DWORD deadlineMs = defaultDeadlineMs);
void EndProgram(ProgramRun& run);
inline bool HasEnded(ProgramRun& run) {
  return !run.started || WaitForSingleObject(run.process.hProcess, 0) == WAIT_OBJECT_0;
}
// Lets the holdoff after the settings dialog over the saver run out: five
// ticks of the default frame time from now. Nothing outside the process
// shows its end, so the time is let pass.
inline void LetHoldoffRunOut() {
  const DWORD start = GetTickCount();
  WaitUntil([&] { return GetTickCount() - start >= heldOffTicks * defaultFrameTimeMs + 400; });
}
// Whether the process is still running after being given a quiet spell of
// milliseconds to end in. Only for checks that something does NOT end the
// program: the ending would come within a few messages, so a short spell
// with the process still there is the answer.
inline bool StaysRunning(ProgramRun& run, DWORD milliseconds = 400) {
  return !WaitUntil([&] { return HasEnded(run); }, milliseconds);
}

// The first visible top-level window of the process with that class and title
// (either may be null), waiting up to the deadline.
HWND WaitForProcessWindow(DWORD processId, const char* className, const char* title,
                          DWORD deadlineMs = defaultDeadlineMs);
// The settings dialog ("Screen Saver Properties") of the process, once visible.
inline HWND WaitForSettingsDialog(DWORD processId, DWORD deadlineMs = defaultDeadlineMs) {
  return WaitForProcessWindow(processId, "#32770", "Screen Saver Properties", deadlineMs);
}

// A full-screen saver of the program under test, started with arguments,
// and its "Screen Saver" window once it is shown (null when none came).
struct SaverRun {
  ProgramRun run;
  HWND window;
};
SaverRun StartSaver(const std::string& arguments = "/s", const char* folder = nullptr);

// --- the registry, in HKCU
inline bool SetUserValue(const char* key, const char* name, DWORD type, const void* data, DWORD size) {
  return RegSetKeyValueA(HKEY_CURRENT_USER, key, name, type, data, size) == ERROR_SUCCESS;
}
bool ReadUserValue(const char* key, const char* name, std::vector<uint8_t>& bytes, DWORD& type);
// The settings value as the tests see it.
inline void DeleteSettingsKey() { RegDeleteKeyA(HKEY_CURRENT_USER, storedKeyPath); }
inline bool ReadSettingsValue(std::vector<uint8_t>& bytes, DWORD& type) {
  return ReadUserValue(storedKeyPath, storedRecordName, bytes, type);
}
inline void WriteSettingsValue(const std::vector<uint8_t>& bytes, DWORD type) {
  SetUserValue(storedKeyPath, storedRecordName, type, bytes.data(), static_cast<DWORD>(bytes.size()));
}
// The stored "Config" value's bytes; false when there is none.
inline bool ReadStoredSettings(std::vector<uint8_t>& bytes) {
  DWORD type = 0;
  return ReadSettingsValue(bytes, type);
}
inline void StoreSettings(const SettingsRecord& record) { WriteSettingsValue(SettingsToBytes(record), REG_BINARY); }
// "Control Panel\Desktop" "ScreenSaveUsePassword": set as a DWORD, or removed.
inline void SetUsePasswordFlag(DWORD value) {
  SetUserValue("Control Panel\\Desktop", "ScreenSaveUsePassword", REG_DWORD, &value, sizeof value);
}
inline void RemoveUsePasswordFlag() {
  RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword");
}
// The system's saver-running state as Wine keeps it for every process
// (SPI_SCREENSAVERRUNNING is cached per process once read, so the tests read
// the stored value): 0 or 1, or -1 when it was never set.
int StoredSaverRunningState();

// --- the password stand-in (password_standin.h)
std::string SystemFolder();   // GetSystemDirectoryA, as this 32/64-bit process sees it
std::string ProgramPath();    // the program under test
std::string ProgramFolder();  // its folder
// Copies the built stand-in into folder as PASSWORD.CPL / removes it again.
bool PlaceStandin(const std::string& folder);
inline void RemoveStandin(const std::string& folder) { DeleteFileA((folder + "\\PASSWORD.CPL").c_str()); }
// Its script, and what it recorded.
void ResetStandin(const char* script);
DWORD StandinNumber(const char* name);
std::string StandinText(const char* name);

// --- input and windows
inline void PostKey(HWND window, WPARAM key) { PostMessageA(window, WM_KEYDOWN, key, 1); }
inline void PostSysKey(HWND window, WPARAM key) { PostMessageA(window, WM_SYSKEYDOWN, key, 0x20000001); }  // Alt
inline void PostClick(HWND window) { PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10)); }
// Puts the cursor at screen point (x, y) and tells the window the mouse moved.
void MoveMouse(HWND window, int x, int y);
// Types the hidden key sequence into the saver window.
inline void TypeKeySequence(HWND window) {
  for (const char* c = typedKeySequence; *c != '\0'; ++c) PostKey(window, static_cast<WPARAM>(*c));
}
// Whether the cursor that the foreground thread shows is none (hidden).
bool CursorHidden();
// A window of the test's own under the cursor's start point (500, 400), with
// the arrow cursor, brought to the foreground: a visible cursor and a
// foreground window to compare with. Made once and kept for the whole test
// program: Wine waits for a window manager (there is none here) whenever an
// activated window is hidden or destroyed.
HWND ShowOwnWindow();
// A top-level window of the test's own that records the WM_CONTEXTMENU
// messages it receives, as a preview's parent; the wParam of the last one
// (0: none yet).
HWND CreatePreviewParent(int clientWidth, int clientHeight);
WPARAM LastContextMenuTarget();
// The child "Preview" saver window in parent, once it is there and visible.
HWND WaitForPreviewWindow(HWND parent, DWORD deadlineMs = defaultDeadlineMs);
// The window handle as the command line writes it.
inline std::string HandleText(HWND window) {
  return std::to_string(static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window)));
}

// The settings dialog driven the way its controls drive it: a trackbar is
// given a position and then reports WM_HSCROLL to the dialog, buttons and
// check boxes are clicked with BM_CLICK.
void MoveTrackbar(HWND dialog, int trackbarId, int32_t position, WORD notification = TB_THUMBTRACK);
// A field's control and value label, from the dialog's table.
inline const DialogControl& ControlOf(const SettingsField& field) { return *DialogControlOf(field.member); }
inline int Control(const char* field) { return ControlOf(*FindSettingsField(field)).controlId; }
inline int Label(const char* field) { return ControlOf(*FindSettingsField(field)).labelId; }
inline void ClickControl(HWND dialog, int controlId) { SendMessageA(GetDlgItem(dialog, controlId), BM_CLICK, 0, 0); }
std::string ControlText(HWND dialog, int controlId);

// --- pixels: RGB triples, top row first
// The whole client area.
std::vector<uint8_t> CaptureClient(HWND window, int& width, int& height);
// A rectangle of the screen as shown, whatever windows lie there.
std::vector<uint8_t> CaptureScreen(const RECT& rect);
// A scene from the pictures linked into this program; staticColours 0 (true colour) or 20.
SceneInitResult MakeLinkedScene(TestScene& t, int32_t width, int32_t height, int32_t staticColours);
// A posed scene that stands still: every clock stopped at a pose of its own.
SettingsRecord FrozenPose();
// The frame of the record at tick, width x height, as a screen shows it.
std::vector<uint8_t> ExpectedScreen(const SettingsRecord& record, int width, int height, uint32_t tick = 0);
inline bool AllBlack(const std::vector<uint8_t>& rgb) {
  return !rgb.empty() && std::all_of(rgb.begin(), rgb.end(), [](uint8_t v) { return v == 0; });
}
// Pixels that differ between two pictures; a size mismatch counts as all of both.
size_t Mismatches(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

// A test of the real full-screen saver: no password switch, no stand-in and
// no stored settings before and after it, the cursor at its start point (the
// saver measures travel from there), and the saver ended afterwards.
class SaverTest : public ::testing::Test {
 protected:
  static constexpr int startX = 500, startY = 400;
  void SetUp() override { Clean(), SetCursorPos(startX, startY); }
  void TearDown() override { EndProgram(saver.run), Clean(); }
  static void Clean() { RemoveUsePasswordFlag(), RemoveStandin(SystemFolder()), DeleteSettingsKey(); }
  // Starts the saver; the test fails at once when its window does not come.
  void StartSaverOrFail(const char* folder = nullptr) {
    saver = StartSaver("/s", folder);
    ASSERT_NE(saver.window, nullptr);
  }
  SaverRun saver = {};
};
