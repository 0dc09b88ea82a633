// The full-screen saver on the two monitors it starts with, then while they
// change under it (xrandr on the two-monitor display): a monitor switched
// on, the primary grown, a monitor resized, one switched off, the primary
// moved to another output. After each change the scene window is the
// primary's rectangle again and every other monitor has one cover of its
// rectangle, each showing the scene made at its own size in the same pose
// (pixel for pixel the portable renderer's frame of that size); covers of
// monitors gone are destroyed; input on a new cover ends the saver, with
// mouse travel measured in the new screen coordinates.
#include <gtest/gtest.h>

#include "two_monitors/screens.h"
// after windows.h
#include <psapi.h>

#include "win32/host/saver_window.h"

namespace {

class HostScreensChange : public SaverTest {
 protected:
  void SetUp() override {
    SaverTest::SetUp();
    ASSERT_TRUE(ChangeScreens(startingScreens, StartingMonitors())) << "xrandr (x11-xserver-utils) and DUMMY2 needed";
  }
  void TearDown() override {
    SaverTest::TearDown();
    EXPECT_TRUE(ChangeScreens(startingScreens, StartingMonitors()));
  }
  // Changes the outputs, then waits for the saver's windows to follow: the
  // saver reads the monitors once a second, and a window moved or made
  // takes a moment under Wine (about 0.9 s in all on a quiet machine; the
  // limit leaves room for a busy one, and still tells a reading every few
  // seconds or none). Destroying a window takes up to 2 s more there:
  // without a window manager Wine waits that long for a managed window to
  // be withdrawn.
  void Change(const std::string& arguments, const std::vector<RECT>& wanted, DWORD limitMs = 3000) {
    ASSERT_TRUE(ChangeScreens(arguments, wanted)) << arguments;
    const DWORD listed = GetTickCount();
    ASSERT_TRUE(WaitUntil([&] { return CoversMatchMonitors(saver, wanted); }, 8000)) << arguments;
    EXPECT_LE(GetTickCount() - listed, limitMs) << arguments;
  }
  HWND CoverAt(const RECT& monitor) {
    for (HWND c : CoverWindows(saver)) {
      RECT r;
      if (GetWindowRect(c, &r) && EqualRect(&r, &monitor)) return c;
    }
    return nullptr;
  }
};

TEST_F(HostScreensChange, WindowsFollowMonitorsSwitchedOnGrownResizedSwitchedOffAndANewPrimary) {
  const SettingsRecord record = FrozenPose();
  StoreSettings(record);
  StartSaverOrFail();
  ASSERT_TRUE(WaitUntil([&] { return CoversMatchMonitors(saver, StartingMonitors()); }, 5000));
  ExpectScenes(record, StartingMonitors(), "at start");

  const std::vector<RECT> added = {{0, 0, 1024, 768}, {1024, 0, 1824, 600}, {1824, 0, 2464, 480}};
  Change("--output DUMMY2 --mode 640x480 --pos 1824x0", added);
  ExpectScenes(record, added, "switched on");

  const std::vector<RECT> grown = {{0, 0, 1280, 1024}, {1280, 0, 2080, 600}, {2080, 0, 2720, 480}};
  Change("--output DUMMY0 --mode 1280x1024 --output DUMMY1 --pos 1280x0 --output DUMMY2 --pos 2080x0", grown);
  ExpectScenes(record, grown, "primary grown");

  const std::vector<RECT> resized = {{0, 0, 1280, 1024}, {1280, 0, 2080, 600}, {2080, 0, 2880, 600}};
  Change("--output DUMMY2 --mode 800x600", resized);
  ExpectScenes(record, resized, "third resized");

  // A cover left over would be counted among the covers (CoversMatchMonitors):
  // which of the two covers of equal size stays is the saver's choice, as
  // the system may report the layout in passing on its way there.
  const std::vector<RECT> removed = {{0, 0, 1280, 1024}, {1280, 0, 2080, 600}};
  Change("--output DUMMY2 --off", removed, 3000 + 2000);

  // The second output becomes the primary: the first now lies left of 0,0.
  SetCursorPos(500, 400);
  const std::vector<RECT> newPrimary = {{0, 0, 800, 600}, {-1280, 0, 0, 1024}};
  Change("--output DUMMY1 --primary", newPrimary);
  ExpectScenes(record, newPrimary, "new primary");

  // Travel is measured in the new coordinates, negative here: 4 keeps the saver, 5 ends it.
  HWND left = CoverAt(newPrimary[1]);
  ASSERT_NE(left, nullptr);
  POINT at;
  GetCursorPos(&at);
  ASSERT_LT(at.x, 0) << "the cursor stayed on the first output";
  MoveMouse(left, at.x - 2, at.y + 2);
  EXPECT_TRUE(StaysRunning(saver.run));
  MoveMouse(left, at.x - 3, at.y + 2);
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

// The settings dialog opened over the saver stays open with its edits while
// a monitor comes; closed, a click on the new monitor's cover ends the saver.
TEST_F(HostScreensChange, TheSettingsDialogOutlivesAChangeAndANewCoverEndsTheSaver) {
  StartSaverOrFail();
  TypeKeySequence(saver.window);
  HWND dialog = WaitForSettingsDialog(saver.run.process.dwProcessId);
  ASSERT_NE(dialog, nullptr);
  MoveTrackbar(dialog, Control("frameTime"), 150);
  const std::string shown = ControlText(dialog, Label("frameTime"));

  const std::vector<RECT> added = {{0, 0, 1024, 768}, {1024, 0, 1824, 600}, {1824, 0, 2464, 480}};
  Change("--output DUMMY2 --mode 640x480 --pos 1824x0", added);
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_EQ(ControlText(dialog, Label("frameTime")), shown);
  EXPECT_FALSE(HasEnded(saver.run));

  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
  HWND cover = CoverAt(added[2]);
  ASSERT_NE(cover, nullptr);
  LetHoldoffRunOut();
  PostClick(cover);
  EXPECT_EQ(WaitForExit(saver.run), 0u);
}

// A long run in this process: frames every 20 ms while the scene window is
// told WM_DISPLAYCHANGE 80 times, every scene made anew each time. The
// process's memory, its windows and the palettes the session made end where
// they were after the first changes: every palette the session made before
// is deleted, the views' own are live, and the windows are as many.
struct LongRun {
  Session* session;
  int tick;
  SIZE_T memoryAtStart, memoryAtEnd;
  int windowsAtStart, windowsAtEnd;
  std::vector<HPALETTE> palettesSeen;
};
LongRun* longRun = nullptr;  // the thread timer's only way to it
constexpr int warmUpTicks = 10, longRunTicks = 90;

SIZE_T ProcessMemory() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PagefileUsage;
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) { return ++*reinterpret_cast<int*>(count), TRUE; }
int ThreadWindows() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

void NotePalettes(LongRun& run) {
  for (int32_t i = 0; i < run.session->viewCount; ++i) {
    HPALETTE palette = run.session->views[i].gdiPalette.palette;
    if (palette != nullptr &&
        std::find(run.palettesSeen.begin(), run.palettesSeen.end(), palette) == run.palettesSeen.end())
      run.palettesSeen.push_back(palette);
  }
}

void CALLBACK DriveLongRun(HWND, UINT, UINT_PTR, DWORD) {
  LongRun& run = *longRun;
  HWND scene = SceneWindow(*run.session);
  NotePalettes(run);
  if (++run.tick == warmUpTicks) run.memoryAtStart = ProcessMemory(), run.windowsAtStart = ThreadWindows();
  if (run.tick == longRunTicks) {
    run.memoryAtEnd = ProcessMemory(), run.windowsAtEnd = ThreadWindows();
    PostMessageA(scene, WM_CLOSE, 0, 0);
    return;
  }
  SendMessageA(scene, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
}

TEST_F(HostScreensChange, ALongRunOfFramesAndChangesEndsWithTheMemoryWindowsAndPalettesItHad) {
  SettingsRecord record = DefaultSettings();
  record.frameTime = 20;
  StoreSettings(record);
  Session session;
  StartSession(session, GetModuleHandleA(nullptr));
  LongRun run = {&session, 0, 0, 0, 0, 0, {}};
  longRun = &run;
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, DriveLongRun);
  EXPECT_EQ(RunSaverWindow(session, nullptr), 0);
  KillTimer(nullptr, timer);
  longRun = nullptr;
  ASSERT_EQ(run.tick, longRunTicks);

  EXPECT_EQ(run.windowsAtEnd, run.windowsAtStart);
  const SIZE_T grown = run.memoryAtEnd > run.memoryAtStart ? run.memoryAtEnd - run.memoryAtStart : 0;
  EXPECT_LT(grown, SIZE_T{16} << 20) << "one set of scenes is about 6 MB; 80 changes were made";
  // The palettes of the views' scenes are live until the session ends; every one before them is deleted.
  size_t live = 0;
  for (HPALETTE palette : run.palettesSeen) {
    const bool current = std::any_of(session.views, session.views + session.viewCount,
                                     [&](const SceneView& v) { return v.gdiPalette.palette == palette; });
    EXPECT_TRUE(current || GetObjectType(palette) != OBJ_PAL) << "a palette left behind";
    live += current ? 1 : 0;
  }
  EXPECT_GT(run.palettesSeen.size(), 80u) << "the scenes were not made anew";
  EXPECT_EQ(live, static_cast<size_t>(session.viewCount));
  EndSession(session);
}

}  // namespace
