// screens.h - the monitors as the two-monitor tests see them, and changing
// them under a running saver with xrandr (scripts/wine-env --two-monitors:
// outputs DUMMY0, the primary, DUMMY1 and DUMMY2, the last off at start).
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "support/harness.h"

inline BOOL CALLBACK AddMonitorRect(HMONITOR monitor, HDC, LPRECT rect, LPARAM list) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  GetMonitorInfoA(monitor, &info);
  auto* rects = reinterpret_cast<std::vector<RECT>*>(list);
  rects->insert((info.dwFlags & MONITORINFOF_PRIMARY) != 0 ? rects->begin() : rects->end(), *rect);
  return TRUE;
}

// The monitors' rectangles, the primary's (the scene window's) first.
inline std::vector<RECT> MonitorRects() {
  std::vector<RECT> rects;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitorRect, reinterpret_cast<LPARAM>(&rects));
  return rects;
}

inline int Width(const RECT& r) { return r.right - r.left; }
inline int Height(const RECT& r) { return r.bottom - r.top; }

// The saver's cover windows, in the order the system lists them.
inline std::vector<HWND> CoverWindows(const SaverRun& saver) {
  std::vector<HWND> found;
  for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "VimbrelCoverClass", nullptr)) != nullptr;) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == saver.run.process.dwProcessId) found.push_back(w);
  }
  return found;
}

// Whether every monitor but the primary has exactly one visible cover of its
// rectangle, and the scene window is the primary's rectangle.
inline bool CoversMatchMonitors(const SaverRun& saver, const std::vector<RECT>& monitors) {
  RECT scene;
  if (monitors.empty() || !GetWindowRect(saver.window, &scene) || !EqualRect(&scene, &monitors[0])) return false;
  const std::vector<HWND> covers = CoverWindows(saver);
  if (covers.size() != monitors.size() - 1) return false;
  for (size_t i = 1; i < monitors.size(); ++i) {
    const bool covered = std::any_of(covers.begin(), covers.end(), [&](HWND c) {
      RECT r;
      return GetWindowRect(c, &r) && EqualRect(&r, &monitors[i]) && IsWindowVisible(c);
    });
    if (!covered) return false;
  }
  return true;
}

// Each monitor shows the record's frame at its own size: pixel for pixel the
// portable renderer's frame of that size.
inline void ExpectScenes(const SettingsRecord& record, const std::vector<RECT>& monitors, const char* step) {
  for (size_t i = 0; i < monitors.size(); ++i) {
    const std::vector<uint8_t> expected = ExpectedScreen(record, Width(monitors[i]), Height(monitors[i]));
    size_t mismatches = 0;
    WaitUntil([&] { return (mismatches = Mismatches(CaptureScreen(monitors[i]), expected)) == 0; }, 10000);
    EXPECT_EQ(mismatches, 0u) << step << ", monitor " << i << ": of " << expected.size() / 3 << " pixels";
  }
}

// Runs xrandr with the arguments on the display (Wine starts the Unix
// program; its end cannot be waited for, so callers wait for the monitors).
inline bool RunXrandr(const std::string& arguments) {
  std::string commandLine = "Z:\\usr\\bin\\xrandr " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return true;
}

// Changes the outputs and waits until the system lists the monitors wanted
// (primary first, the others in any order); false when it did not in time.
inline bool ChangeScreens(const std::string& arguments, const std::vector<RECT>& wanted) {
  auto listed = [&] {
    const std::vector<RECT> now = MonitorRects();
    if (now.size() != wanted.size() || !EqualRect(&now[0], &wanted[0])) return false;
    return std::all_of(wanted.begin(), wanted.end(), [&](const RECT& w) {
      return std::any_of(now.begin(), now.end(), [&](const RECT& n) { return EqualRect(&n, &w) != 0; });
    });
  };
  return RunXrandr(arguments) && WaitUntil(listed, 15000);
}

// The layout every test starts from: 1024 x 768 primary, 800 x 600 right of it, the third off.
constexpr char startingScreens[] =
    "--output DUMMY0 --primary --mode 1024x768 --pos 0x0 --output DUMMY1 --mode 800x600 --pos 1024x0 "
    "--output DUMMY2 --off";
inline std::vector<RECT> StartingMonitors() { return {{0, 0, 1024, 768}, {1024, 0, 1824, 600}}; }
